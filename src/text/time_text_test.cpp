#include "text/time_text.h"

#include <gtest/gtest.h>

namespace {

std::tm MarchFifth2025() {
    std::tm time = {};
    time.tm_year = 2025 - 1900;
    time.tm_mon = 2;
    time.tm_mday = 5;
    time.tm_hour = 7;
    time.tm_min = 8;
    time.tm_sec = 9;
    time.tm_wday = 3;
    time.tm_yday = 63;
    return time;
}

TEST(TimeText, FormatsThePatternsThatTheProgramUses) {
    const std::tm time = MarchFifth2025();
    EXPECT_EQ(FormatTime(L"%Y-%m-%d", time), L"2025-03-05");
    EXPECT_EQ(FormatTime(L"%Y%m%d", time), L"20250305");
    EXPECT_EQ(FormatTime(L"%Y/%m/%d %H:%M:%S", time), L"2025/03/05 07:08:09");
    EXPECT_EQ(FormatTime(L"%m%d_%H", time), L"0305_07");
}

TEST(TimeText, TooLongOrEmptyResultsGiveAnEmptyText) {
    const std::tm time = MarchFifth2025();
    EXPECT_EQ(FormatTime(WideString(254, L'x'), time), WideString(254, L'x'));
    EXPECT_EQ(FormatTime(WideString(255, L'x'), time), L"");
    EXPECT_EQ(FormatTime(WideString(251, L'x') + L"%Y", time), L"");
    EXPECT_EQ(FormatTime(WideString(250, L'x') + L"%Y", time), WideString(250, L'x') + L"2025");
    EXPECT_EQ(FormatTime(L"", time), L"");
}

TEST(TimeText, FormatNowGivesTodaysDate) {
    const WideString today = FormatNow(L"%Y-%m-%d");
    ASSERT_EQ(today.size(), 10u);
    EXPECT_EQ(today[4], L'-');
    EXPECT_EQ(today[7], L'-');
    EXPECT_GE(today.substr(0, 4), L"2025");
}

}  // namespace

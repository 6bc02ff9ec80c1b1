#include "app/program_entry.h"

#include <gtest/gtest.h>

#include "shell/console_window.h"

namespace {

TEST(ProgramEntry, VersionForDisplay) {
    const struct {
        const wchar_t* version;
        const wchar_t* display;
    } cases[] = {
        {L"1, 0, 2025, 10", L"1.0.2025.10"},
        {L"2.1", L"2.1"},
        {L"   ", L""},
        {L"", L""},
        {L"1,2", L"1.2"},
        {L"1 ,\t2", L"1.\t2"},
    };
    for (const auto& c : cases) EXPECT_EQ(VersionForDisplay(c.version), c.display) << c.version;
}

TEST(ProgramEntry, BannerIsNameThreeBlanksAndVersion) {
    EXPECT_EQ(BannerText(L"1, 0, 2026, 12"), L"brisk   Ver.1.0.2026.12");
    EXPECT_EQ(BannerText(L""), L"brisk   Ver.");
}

TEST(ConsoleWindow, ProbeTitleIsTicksSlashProcessId) {
    EXPECT_EQ(ConsoleTitleProbe(51234906, 4412), L"51234906/4412");
    EXPECT_EQ(ConsoleTitleProbe(4294967295u, 0), L"4294967295/0");
}

}  // namespace

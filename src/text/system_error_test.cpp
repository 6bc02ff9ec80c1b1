#include "text/system_error.h"

#include <gtest/gtest.h>

namespace {

TEST(SystemError, TheSystemsWordsFitInsideALine) {
    EXPECT_FALSE(SystemErrorText(ERROR_FILE_NOT_FOUND).empty());
    EXPECT_EQ(SystemErrorText(0x7FFFFFFF), L"");
    const WideString reason = SystemReason(ERROR_ACCESS_DENIED);
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(reason.find_first_of(L"\r\n"), WideString::npos) << reason;
    EXPECT_NE(reason.back(), L'.');
    EXPECT_EQ(SystemReason(0x7FFFFFFF), L"error 2147483647");
}

}  // namespace

#include "text/number_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

TEST(NumberText, IntegerToTextInEveryRadix) {
    EXPECT_EQ(IntegerToText(3735928559u, 16), L"deadbeef");
    EXPECT_EQ(IntegerToText(255, 2), L"11111111");
    EXPECT_EQ(IntegerToText(35, 36), L"z");
    EXPECT_EQ(IntegerToText(1234567890, 10), L"1234567890");
    EXPECT_EQ(IntegerToText(std::numeric_limits<uint64_t>::max(), 2), WideString(64, L'1'));
    EXPECT_EQ(IntegerToText(std::numeric_limits<uint64_t>::max(), 10), L"18446744073709551615");
    for (int radix = 0; radix <= 40; ++radix) EXPECT_EQ(IntegerToText(0, radix), L"0") << radix;
}

TEST(NumberText, RadixIsClampedToTwoAndThirtySix) {
    EXPECT_EQ(IntegerToText(5, 1), IntegerToText(5, 2));
    EXPECT_EQ(IntegerToText(5, -7), L"101");
    EXPECT_EQ(IntegerToText(71, 40), IntegerToText(71, 36));
    EXPECT_EQ(IntegerToText(71, 40), L"1z");
}

TEST(NumberText, SignedToText) {
    EXPECT_EQ(SignedToText(-5, 10), L"-5");
    EXPECT_EQ(SignedToText(-5, 16), L"fffffffffffffffb");
    EXPECT_EQ(SignedToText(42, 10), L"42");
    EXPECT_EQ(SignedToText(std::numeric_limits<int64_t>::min(), 10), L"-9223372036854775808");
    EXPECT_EQ(SignedToText(int32_t{-1}, 16), L"ffffffffffffffff");
}

TEST(NumberText, UnsignedAndPadding) {
    EXPECT_EQ(UnsignedToText(4294967295u, 16), L"ffffffff");
    EXPECT_EQ(ZeroPaddedText(1041, 16, 4), L"0411");
    EXPECT_EQ(ZeroPaddedText(0x1234567, 16, 4), L"1234567");
    for (const auto& c : {std::make_pair(0ull, L"0"), std::make_pair(999ull, L"999"), std::make_pair(3204ull, L"3,204"),
                          std::make_pair(1234567ull, L"1,234,567"), std::make_pair(100000ull, L"100,000")}) {
        EXPECT_EQ(GroupedText(c.first), c.second);
    }
    EXPECT_EQ(PadLeft(L"abcdef", 3, L'0'), L"abcdef");
    EXPECT_EQ(PadLeft(L"7", 3, L' '), L"  7");
    EXPECT_EQ(PadLeft(L"", 2, L'x'), L"xx");
}

}  // namespace

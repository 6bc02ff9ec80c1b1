#include "stick/protection_reading.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

PROPVARIANT Value(VARTYPE type, ULONG bits) {
    PROPVARIANT value;
    PropVariantInit(&value);
    value.vt = type;
    value.ulVal = bits;
    return value;
}

TEST(ProtectionReading, OnlyAnIntegerThatFitsIsAnAnswer) {
    const struct {
        VARTYPE type;
        ULONG bits;
        std::optional<int> expected;
    } cases[] = {
        {VT_I4, 2, 2},
        {VT_I4, 0xFFFFFFFEu, -2},
        {VT_UI4, 6, 6},
        {VT_UI4, 0xFFFFFFFFu, std::nullopt},
        {VT_INT, 5, 5},
        {VT_UINT, 0x80000000u, std::nullopt},
        {VT_I2, 0xFFFFu, -1},
        {VT_UI2, 0xFFFFu, 65535},
        {VT_UI1, 3, 3},
        {VT_I1, 0xFFu, -1},
        {VT_EMPTY, 2, std::nullopt},
        {VT_NULL, 2, std::nullopt},
        {VT_BOOL, 2, std::nullopt},
        {VT_R4, 2, std::nullopt},
        {VT_ERROR, 2, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IntegerOfValue(Value(c.type, c.bits)), c.expected) << "type " << c.type << " bits " << c.bits;
    }
}

TEST(ProtectionReading, ComIsStartedOnlyWhenTheKeysLookupAsksForIt) {
    const struct {
        std::vector<HRESULT> answers;  // the lookup's answers, in turn
        HRESULT expected;
        int lookups;
        int comStarts;
    } cases[] = {
        {{S_OK}, S_OK, 1, 0},
        {{E_NOTIMPL}, E_NOTIMPL, 1, 0},  // Wine: nothing to open, no COM
        {{TYPE_E_ELEMENTNOTFOUND}, TYPE_E_ELEMENTNOTFOUND, 1, 0},
        {{CO_E_NOTINITIALIZED, S_OK}, S_OK, 2, 1},
        {{CO_E_NOTINITIALIZED, CO_E_NOTINITIALIZED}, CO_E_NOTINITIALIZED, 2, 1},
    };
    for (const auto& c : cases) {
        int lookups = 0;
        int comStarts = 0;
        const HRESULT answer = LookUpWithComWhenNeeded(
            [&] { return c.answers[static_cast<size_t>(lookups++)]; }, [&] { ++comStarts; });
        EXPECT_EQ(answer, c.expected) << std::hex << c.answers[0];
        EXPECT_EQ(lookups, c.lookups) << std::hex << c.answers[0];
        EXPECT_EQ(comStarts, c.comStarts) << std::hex << c.answers[0];
    }
}

TEST(ProtectionReading, ADriveThatIsNotThereGivesNoAnswer) {
    // Q: is no drive of the test prefix (nor, usually, of a Windows machine).
    if (GetDriveTypeW(L"Q:\\") > 1) GTEST_SKIP() << "Q: exists here";
    EXPECT_EQ(ReadBitLockerProtection(L"Q:\\"), std::nullopt);
    EXPECT_EQ(ReadBitLockerProtection(L""), std::nullopt);
}

}  // namespace

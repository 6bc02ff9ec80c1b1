#include "stick/drive_protection.h"

#include <gtest/gtest.h>

#include "text/messages.h"

namespace {

TEST(DriveProtection, OnlyAStickWhoseProtectionIsOffGetsTheLine) {
    const struct {
        std::optional<int> value;
        DriveProtection protection;
    } cases[] = {
        {std::nullopt, DriveProtection::Unknown},
        {0, DriveProtection::Unknown},
        {1, DriveProtection::On},
        {2, DriveProtection::Off},
        {3, DriveProtection::On},
        {4, DriveProtection::Decrypting},
        {5, DriveProtection::On},
        {6, DriveProtection::Locked},
        {7, DriveProtection::Unknown},
        {-2, DriveProtection::Unknown},
        {258, DriveProtection::Unknown},  // 2 in its low byte
    };
    const WideString expected = Say(Message::StickNotEncrypted, {L"E:"});
    for (const auto& c : cases) {
        const WideString name = c.value ? std::to_wstring(*c.value) : L"none";
        EXPECT_EQ(DriveProtectionOf(c.value), c.protection) << name;
        const WideString line = ProtectionLine(c.value, L"E:");
        EXPECT_EQ(line, c.protection == DriveProtection::Off ? expected : WideString()) << name;
    }
}

TEST(DriveProtection, TheLineNamesTheDriveAndTellsHowToProtectItInTheUsersLanguage) {
    const WideString english = ProtectionLine(2, L"F:");
    EXPECT_EQ(english.rfind(L"F: is not encrypted: whoever finds this stick can read the backed-up files.", 0), 0u)
        << english;
    EXPECT_NE(english.find(L"turn on BitLocker for F: in Explorer"), WideString::npos) << english;
    EXPECT_NE(english.find(L"use an encrypted stick."), WideString::npos) << english;
    EXPECT_EQ(english.find(L'\n'), WideString::npos) << "one line";
    SetMessageLanguage(Language::Japanese);
    const WideString japanese = ProtectionLine(2, L"F:");
    SetMessageLanguage(Language::English);
    EXPECT_EQ(japanese.rfind(L"F: \u306F\u6697\u53F7\u5316\u3055\u308C\u3066\u3044\u307E\u305B\u3093", 0), 0u);
    EXPECT_NE(japanese.find(L"BitLocker"), WideString::npos);
}

TEST(DriveProtection, OnlyABackupOntoARemovableDriveAsks) {
    const struct {
        bool made;
        unsigned type;
        bool asks;
    } cases[] = {
        {true, 2, true},  {false, 2, false}, {true, 3, false}, {true, 4, false},
        {true, 5, false}, {true, 1, false},  {true, 0, false},
    };
    for (const auto& c : cases) EXPECT_EQ(AsksForProtection(c.made, c.type), c.asks) << c.made << " " << c.type;
}

}  // namespace

#include "config/name_text.h"

#include <gtest/gtest.h>

namespace {

TEST(NameText, EqualNoCase) {
    EXPECT_TRUE(EqualNoCase(L"Brisk.EXE", L"brisk.exe"));
    EXPECT_TRUE(EqualNoCase(L"", L""));
    EXPECT_FALSE(EqualNoCase(L"brisk.exe", L"brisk.ex"));
    EXPECT_FALSE(EqualNoCase(L"a", L""));
}

TEST(NameText, RemoveDuplicateTextsKeepsFirstOccurrencesExactly) {
    const StringList list = {L"C:\\a", L"", L"C:\\A", L"C:\\a", L"", L"C:\\a\\", L"D:\\b"};
    EXPECT_EQ(RemoveDuplicateTexts(list),
              (StringList{L"C:\\a", L"", L"C:\\A", L"C:\\a\\", L"D:\\b"}));
    EXPECT_EQ(RemoveDuplicateTexts({}), StringList{});
}

TEST(NameText, FileNameStem) {
    const struct {
        const wchar_t* path;
        const wchar_t* stem;
    } cases[] = {
        {L"C:\\x\\tool.main.exe", L"tool.main"}, {L"brisk.exe", L"brisk"}, {L"a.b.c", L"a.b"},
        {L"C:\\x\\", L""},                       {L" ", L""},               {L".hidden", L""},
        {L"C:\\x\\a?b.exe", L""},                {L"name", L"name"},        {L"C:/x/y.txt", L"y"},
        {L"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(FileNameStem(c.path), c.stem) << c.path;
}

}  // namespace

#include "housekeeping/file_lists.h"

#include <gtest/gtest.h>

#include "config/directory_ops.h"
#include "test_support.h"

namespace {

TEST(MatchesPattern, OnlyTheStarIsAWildcard) {
    const struct {
        const wchar_t* name;
        const wchar_t* pattern;
        bool matches;
    } cases[] = {
        {L"README", L"*.*", false},        {L"README", L"*", true},
        {L"a.txt", L"*.*", true},          {L"README", L"", true},
        {L"log_1.txt", L"LOG_*.TXT", true}, {L"C:\\x\\log_1.txt", L"log_*.txt", true},
        {L"abc", L"abc", true},            {L"abcabc", L"abc", true},
        {L"abxbyd", L"a*b*d", true},       {L"adb", L"a*b*d", false},
        {L"a?c", L"a?c", true},            {L"abc", L"a?c", false},
        {L"report.tmp.txt", L"*.tmp", false}, {L"b.TMP", L"*.tmp", true},
        {L"x.tmp", L"*.tmp*", true},       {L"tmp", L"*.tmp", false},
        {L"abc", L"**", true},             {L"ab", L"abc", false},
        {L"aXbXc", L"a*c", true},          {L"c", L"a*c", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MatchesPattern(c.name, c.pattern), c.matches) << c.name << " ~ " << c.pattern;
    }
}

TEST(ListFolder, ListsOneLevelWithFolderMarks) {
    ScopedTempFolder folder;
    ASSERT_TRUE(WriteFileBytes(folder.Join(L"a.txt"), "a"));
    ASSERT_TRUE(WriteFileBytes(folder.Join(L"b.log"), "b"));
    ASSERT_TRUE(CreateDirectoryTree(folder.Join(L"sub\\deeper")));
    ASSERT_TRUE(WriteFileBytes(folder.Join(L"sub\\c.txt"), "c"));

    const StringList expected = {folder.Join(L"a.txt"), folder.Join(L"b.log"), folder.Join(L"sub\\")};
    EXPECT_EQ(SortedList(ListFolder(folder.Path(), true)), expected);
    EXPECT_EQ(SortedList(ListFolder(folder.Path() + L"\\", true)), expected);
    EXPECT_EQ(SortedList(ListFolder(folder.Join(L"a.txt"), true)), expected);
    EXPECT_EQ(ListFolder(folder.Path(), false).size(), 5u);

    EXPECT_EQ(ListMatchingFiles(folder.Path(), L"*.txt"), StringList{folder.Join(L"a.txt")});
    EXPECT_EQ(SortedList(ListMatchingFiles(folder.Path(), L"*")),
              (StringList{folder.Join(L"a.txt"), folder.Join(L"b.log")}));
}

TEST(ListFolder, BadPathsGiveEmptyResults) {
    ScopedTempFolder folder;
    ASSERT_TRUE(WriteFileBytes(folder.Join(L"a.txt"), "a"));
    for (const WideString& path : {WideString(), WideString(L" "), folder.Join(L"*"),
                                   folder.Join(L"*.txt"), folder.Join(L"missing\\"),
                                   WideString(L"Q:\\no\\drive")}) {
        EXPECT_EQ(ListFolder(path, true), StringList{}) << path;
        EXPECT_EQ(ListMatchingFiles(path, L"*"), StringList{}) << path;
    }
    const WideString slashed = WithSlashes(folder.Path());
    EXPECT_EQ(ListMatchingFiles(slashed + L"/", L"*.txt").size(), 1u);
}

TEST(FileLists, Ordering) {
    const StringList list = {L"b", L"a", L"B", L"b", L"c"};
    EXPECT_EQ(SortedList(list), (StringList{L"B", L"a", L"b", L"b", L"c"}));
    EXPECT_EQ(ReversedList(list), (StringList{L"c", L"b", L"B", L"a", L"b"}));
    EXPECT_EQ(SortedUniqueList(list), (StringList{L"B", L"a", L"b", L"c"}));
}

TEST(FileLists, IsFolderEmpty) {
    ScopedTempFolder folder;
    EXPECT_TRUE(IsFolderEmpty(folder.Path()));
    ASSERT_TRUE(CreateDirectoryTree(folder.Join(L"sub")));
    EXPECT_FALSE(IsFolderEmpty(folder.Path() + L"\\"));
    EXPECT_TRUE(IsFolderEmpty(folder.Join(L"sub")));
    ASSERT_TRUE(WriteFileBytes(folder.Join(L"sub\\x"), ""));
    EXPECT_FALSE(IsFolderEmpty(folder.Join(L"sub\\x")));  // a file stands for its folder
}

TEST(FileLists, FileNameExtension) {
    const struct {
        const wchar_t* path;
        const wchar_t* extension;
    } cases[] = {{L"C:\\a\\b.tar.gz", L"gz"}, {L"README", L""},   {L" ", L""},
                 {L"a?.txt", L""},           {L"C:\\x.d\\", L""}, {L".txt", L"txt"},
                 {L"name.", L""},            {L"C:/a/b.TXT", L"TXT"}};
    for (const auto& c : cases) EXPECT_EQ(FileNameExtension(c.path), c.extension) << c.path;
}

}  // namespace

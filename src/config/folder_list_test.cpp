#include "config/folder_list.h"

#include <gtest/gtest.h>

#include <set>

#include "test_support.h"

namespace {

TEST(FolderList, CanonicalFormsBlanksAndFirstOccurrences) {
    const std::set<WideString> directories = {L"C:\\data", L"C:\\Data", L"Z:\\share\\x",
                                              L"C:\\pub", L"E:\\tools\\hostdata"};
    const auto isDirectory = [&](const WideString& p) { return directories.count(p) != 0; };
    const auto networkForm = [](const WideString& p) {
        return p.rfind(L"Z:", 0) == 0 ? L"\\\\srv\\s" + p.substr(2) : p;
    };
    const StringList candidates = {
        L"C:\\data", L"", L"C:\\missing", L"C:\\data\\", L"C:/x/../Data", L"Z:\\share\\x",
        L"T:\\Develop\\_.SRC", L"C:\\pub", L"hostdata", L"\\\\?\\C:\\pub\\.",
    };
    ErrorStreamCapture errors;
    EXPECT_EQ(BuildFolderList(candidates, L"E:\\tools", isDirectory, networkForm),
              (StringList{L"C:\\data", L"", L"C:\\Data", L"\\\\srv\\s\\share\\x", L"C:\\pub",
                          L"E:\\tools\\hostdata"}));
    EXPECT_EQ(errors.Text(), L"");
}

TEST(FolderList, PathsWithoutAnAbsoluteFormAreRefusedAloud) {
    const auto always = [](const WideString&) { return true; };
    const auto same = [](const WideString& p) { return p; };
    ErrorStreamCapture errors;
    EXPECT_EQ(BuildFolderList({L"a", L"C:\\b", L"\\\\srv"}, L"", always, same),
              (StringList{L"", L"C:\\b"}));
    const StringList lines = errors.Lines();
    ASSERT_EQ(lines.size(), 2u) << errors.Text();
    EXPECT_TRUE(StartsWith(lines[0], L"Can't back up a - ")) << lines[0];
    EXPECT_TRUE(StartsWith(lines[1], L"Can't back up \\\\srv - ")) << lines[1];
}

}  // namespace

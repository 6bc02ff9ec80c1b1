#include "config/folder_list.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(FolderList, BlanksMissingFoldersAndKeepsFirstOccurrences) {
    const std::set<WideString> directories = {L"C:\\data", L"C:\\Data", L"C:\\data\\",
                                              L"Z:\\share\\x", L"C:\\pub"};
    const auto isDirectory = [&](const WideString& p) { return directories.count(p) != 0; };
    const auto networkForm = [](const WideString& p) {
        return p.rfind(L"Z:", 0) == 0 ? L"\\\\srv\\s" + p.substr(2) : p;
    };
    const StringList candidates = {
        L"C:\\data", L"", L"C:\\missing", L"C:\\data", L"C:\\data\\", L"C:\\Data",
        L"Z:\\share\\x", L"T:\\Develop\\_.SRC", L"C:\\pub", L"C:\\pub",
    };
    EXPECT_EQ(BuildFolderList(candidates, isDirectory, networkForm),
              (StringList{L"C:\\data", L"", L"C:\\data\\", L"C:\\Data", L"\\\\srv\\s\\share\\x",
                          L"C:\\pub"}));
}

TEST(FolderList, NoEmptyEntryWhenEveryCandidateExists) {
    const auto always = [](const WideString&) { return true; };
    const auto same = [](const WideString& p) { return p; };
    EXPECT_EQ(BuildFolderList({L"a", L"b", L"a"}, always, same), (StringList{L"a", L"b"}));
    EXPECT_EQ(BuildFolderList({}, always, same), StringList{});
}

}  // namespace

#include "config/special_folders.h"

#include <gtest/gtest.h>

#include <set>

#include "common/windows_headers.h"

#include <shlobj.h>

namespace {

TEST(SpecialFolders, TheElevenFoldersInTheirOrderOnce) {
    // Public Documents, Pictures, Music, Videos, Desktop; the user's
    // Documents, Pictures, Music, Videos, Desktop folder, Desktop; asked here
    // through another shell call than the program's.
    const int order[] = {0x2E, 0x36, 0x35, 0x37, 0x19, 0x05, 0x27, 0x0D, 0x0E, 0x10, 0x00};
    StringList expected;
    std::set<WideString> seen;
    for (const int csidl : order) {
        wchar_t path[MAX_PATH] = {};
        if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) path[0] = 0;
        if (seen.insert(path).second) expected.push_back(path);
    }
    ASSERT_GE(expected.size(), 10u);
    EXPECT_EQ(UserAndPublicFolders(), expected);
}

}  // namespace

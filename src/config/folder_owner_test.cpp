#include "config/folder_owner.h"

#include <gtest/gtest.h>

#include "common/windows_headers.h"

#include <sddl.h>

#include <vector>

#include "test_support.h"

namespace {

PSID Sid(const wchar_t* text) {
    PSID sid = nullptr;
    ConvertStringSidToSidW(text, &sid);
    return sid;
}

// This process's user, as the token names it.
std::vector<BYTE> ThisUser() {
    HANDLE token = nullptr;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> user(size);
    GetTokenInformation(token, TokenUser, user.data(), size, &size);
    CloseHandle(token);
    return user;
}

TEST(FolderOwner, OnlyThisUsersOwnFoldersAreItsOwn) {
    ScopedTempFolder temp;
    const WideString mine = temp.Join(L"mine");
    ASSERT_TRUE(CreateDirectoryW(mine.c_str(), nullptr));
    EXPECT_EQ(OwnershipOf(mine), FolderOwnership::ThisUser);
    EXPECT_EQ(OwnershipOf(temp.Join(L"absent")), FolderOwnership::Missing);

    // What another user's folder answers: owned by the Users group, or by
    // nobody this process can read. (Wine keeps no owner but the user's.)
    const PSID users = Sid(L"S-1-5-32-545");
    ASSERT_NE(users, nullptr);
    EXPECT_EQ(OwnershipFrom(FILE_ATTRIBUTE_DIRECTORY, users), FolderOwnership::Other);
    EXPECT_EQ(OwnershipFrom(FILE_ATTRIBUTE_DIRECTORY, nullptr), FolderOwnership::Other);
    LocalFree(users);
    // A link, or a file, is never taken for this user's folder.
    std::vector<BYTE> user = ThisUser();
    ASSERT_FALSE(user.empty());
    const PSID me = reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;
    EXPECT_EQ(OwnershipFrom(FILE_ATTRIBUTE_DIRECTORY, me), FolderOwnership::ThisUser);
    EXPECT_EQ(OwnershipFrom(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT, me), FolderOwnership::Other);
    const HANDLE file = CreateFileW(temp.Join(L"file").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    EXPECT_EQ(OwnershipOf(temp.Join(L"file")), FolderOwnership::Other);
}

}  // namespace

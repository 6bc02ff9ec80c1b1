#include "config/folder_owner.h"

#include <gtest/gtest.h>

#include "common/windows_headers.h"

#include <aclapi.h>
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

namespace {

TEST(FolderAccess, WhoElseMayWrite) {
    const WideString user = L"S-1-5-21-1-2-3-1001";
    const uint32_t kFull = 0x1F01FF;
    const uint32_t kReadOnly = 0x1200A9;  // read and execute
    const struct {
        bool hasList;
        std::vector<AccessEntry> entries;
        bool others;
    } cases[] = {
        {true, {{true, kFull, user}, {true, kFull, L"S-1-5-18"}, {true, kFull, L"S-1-5-32-544"}}, false},
        {true, {{true, kFull, user}, {true, kReadOnly, L"S-1-5-32-545"}}, false},  // Users may read
        {true, {{true, kFull, user}, {true, 0x2 /* add a file */, L"S-1-5-32-545"}}, true},
        {true, {{true, kFull, user}, {true, 0x10000000 /* generic all */, L"S-1-1-0"}}, true},
        {true, {{true, kFull, user}, {false, kFull, L"S-1-1-0"}}, false},  // a denial grants nothing
        {true, {{true, kFull, L"S-1-5-21-9-9-9-1002"}}, true},             // another user
        {true, {{true, kFull, L"S-1-3-0"}}, false},                        // the creator of each file
        {false, {}, true},                                                 // no list: everyone
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LetsOthersWrite(c.hasList, c.entries, user), c.others) << c.entries.size();
    }
    EXPECT_EQ(PrivateFolderSddl(L"S-1-5-21-1"), L"D:P(A;OICI;FA;;;S-1-5-21-1)(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)");
}

// Whom the folder's access list names, as "SY", "BA", "WD" or a SID.
std::vector<WideString> Trustees(const WideString& folder) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr,
                              nullptr, &descriptor) != ERROR_SUCCESS) {
        return {L"unreadable"};
    }
    wchar_t* text = nullptr;
    ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION,
                                                         &text, nullptr);
    const WideString sddl = text != nullptr ? text : L"";
    LocalFree(text);
    LocalFree(descriptor);
    std::vector<WideString> trustees;
    for (size_t at = sddl.find(L";;;"); at != WideString::npos; at = sddl.find(L";;;", at + 3)) {
        trustees.push_back(sddl.substr(at + 3, sddl.find(L')', at) - at - 3));
    }
    return trustees;
}

// A folder the program makes for itself: read back, its list names this
// user, SYSTEM and the Administrators only (a folder made the ordinary way
// lets everyone in to read, under Wine as on Windows).
TEST(FolderAccess, APrivateFolderGrantsNoOneElseAnything) {
    ScopedTempFolder temp;
    const WideString folder = temp.Join(L"Quillon.tmp\\brisk");
    ASSERT_TRUE(CreatePrivateFolderTree(folder + L"\\"));
    const WideString user = ThisUserSidText();
    for (const WideString& made : {temp.Join(L"Quillon.tmp"), folder}) {
        const std::vector<WideString> trustees = Trustees(made);
        EXPECT_FALSE(trustees.empty()) << made;
        for (const WideString& trustee : trustees) {
            EXPECT_TRUE(trustee == user || trustee == L"SY" || trustee == L"BA") << made << L": " << trustee;
        }
        EXPECT_FALSE(OthersCanWrite(made)) << made;
    }
}

}  // namespace

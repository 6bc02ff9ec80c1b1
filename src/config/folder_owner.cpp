#include "config/folder_owner.h"

#include <vector>

#include "common/windows_headers.h"

#include <aclapi.h>
#include <sddl.h>

#include "text/canonical_path.h"

namespace {

// A token's information of one class, or empty when it cannot be read.
std::vector<BYTE> TokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind) {
    DWORD size = 0;
    GetTokenInformation(token, kind, nullptr, 0, &size);
    if (size == 0) return {};
    std::vector<BYTE> data(size);
    if (!GetTokenInformation(token, kind, data.data(), size, &size)) return {};
    return data;
}

// Whether the owner is this process's user or the token's default owner.
bool OwnerIsThisUser(PSID owner) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    const std::vector<BYTE> user = TokenInformation(token, TokenUser);
    const std::vector<BYTE> defaultOwner = TokenInformation(token, TokenOwner);
    CloseHandle(token);
    if (!user.empty() && EqualSid(owner, reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid)) return true;
    return !defaultOwner.empty() && EqualSid(owner, reinterpret_cast<const TOKEN_OWNER*>(defaultOwner.data())->Owner);
}

}  // namespace

WideString ThisUserSidText() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return WideString();
    const std::vector<BYTE> user = TokenInformation(token, TokenUser);
    CloseHandle(token);
    wchar_t* text = nullptr;
    if (user.empty() || !ConvertSidToStringSidW(reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid, &text)) {
        return WideString();
    }
    const WideString sid = text;
    LocalFree(text);
    return sid;
}

FolderOwnership OwnershipFrom(unsigned long attributes, void* ownerSid) {
    if (attributes == INVALID_FILE_ATTRIBUTES) return FolderOwnership::Missing;
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return FolderOwnership::Other;
    }
    return ownerSid != nullptr && OwnerIsThisUser(ownerSid) ? FolderOwnership::ThisUser : FolderOwnership::Other;
}

FolderOwnership OwnershipOf(const WideString& folder) {
    const WideString path = LongPathForm(folder);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                              nullptr, &descriptor) != ERROR_SUCCESS) {
        owner = nullptr;
    }
    const FolderOwnership ownership = OwnershipFrom(attributes, owner);
    if (descriptor != nullptr) LocalFree(descriptor);
    return ownership;
}

#include "config/folder_owner.h"

#include <vector>

#include "common/windows_headers.h"

#include <aclapi.h>
#include <sddl.h>


#include "text/canonical_path.h"
#include "text/console_output.h"
#include "text/messages.h"
#include "text/path_text.h"
#include "text/system_error.h"

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

bool LetsOthersWrite(bool hasList, const std::vector<AccessEntry>& entries, const WideString& userSid) {
    if (!hasList) return true;
    // Writing, adding, deleting inside, deleting, changing permissions or owner.
    const uint32_t kWriteRights = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_DELETE_CHILD | DELETE | WRITE_DAC |
                                  WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;
    for (const AccessEntry& entry : entries) {
        if (!entry.allows || (entry.mask & kWriteRights) == 0) continue;
        if (entry.sid == userSid || entry.sid == L"S-1-5-18" || entry.sid == L"S-1-5-32-544" ||
            entry.sid == L"S-1-3-0") {
            continue;
        }
        return true;
    }
    return false;
}

bool OthersCanWrite(const WideString& folder) {
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(LongPathForm(folder).c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                              nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS) {
        return true;
    }
    std::vector<AccessEntry> entries;
    for (DWORD i = 0; dacl != nullptr && i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        if (!GetAce(dacl, i, &ace)) continue;
        const ACE_HEADER* header = static_cast<const ACE_HEADER*>(ace);
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
        const ACCESS_ALLOWED_ACE* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
        wchar_t* text = nullptr;
        AccessEntry entry;
        entry.mask = allowed->Mask;
        if (ConvertSidToStringSidW(const_cast<DWORD*>(&allowed->SidStart), &text)) {
            entry.sid = text;
            LocalFree(text);
        }
        entries.push_back(entry);
    }
    const bool others = LetsOthersWrite(dacl != nullptr, entries, ThisUserSidText());
    LocalFree(descriptor);
    return others;
}

WideString PrivateFolderSddl(const WideString& userSid) {
    return L"D:P(A;OICI;FA;;;" + userSid + L")(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
}

bool CreatePrivateFolderTree(const WideString& folder) {
    const WideString path = StripTrailingSeparator(folder);
    if (path.empty()) return false;
    if (path.size() <= ShareRootOf(path).size()) return true;  // a drive or share is not made
    if (GetFileAttributesW(LongPathForm(path).c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    if (!CreatePrivateFolderTree(ParentPath(path))) return false;
    const WideString sid = ThisUserSidText();
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (sid.empty() || !ConvertStringSecurityDescriptorToSecurityDescriptorW(PrivateFolderSddl(sid).c_str(),
                                                                             SDDL_REVISION_1, &descriptor, nullptr)) {
        PrintErrorLine(Say(Message::CantCreateFolder, {path, SystemReason(GetLastError())}));
        return false;
    }
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), descriptor, FALSE};
    const bool made = CreateDirectoryW(LongPathForm(path).c_str(), &attributes) != FALSE;
    const DWORD error = GetLastError();
    LocalFree(descriptor);
    if (made || error == ERROR_ALREADY_EXISTS) return true;
    PrintErrorLine(Say(Message::CantCreateFolder, {path, SystemReason(error)}));
    return false;
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

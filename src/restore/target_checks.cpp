#include "restore/target_checks.h"

#include <algorithm>

#include "common/scoped_handle.h"
#include "common/windows_headers.h"
#include "config/directory_ops.h"
#include "walk/tree_walk.h"
#include "text/canonical_path.h"
#include "text/case_text.h"
#include "text/number_text.h"
#include "text/path_text.h"
#include "text/system_error.h"

namespace {

// "D:\a\b" => "D:\"; "\\srv\s\a" => "\\srv\s\"
WideString RootOf(const WideString& path) { return ShareRootOf(path) + L"\\"; }

// The entry's own attributes and reparse tag, a link not followed.
bool EntryOf(const WideString& path, uint32_t* attributes, uint32_t* tag) {
    *attributes = GetFileAttributesW(LongPathForm(path).c_str());
    *tag = 0;
    if (*attributes == INVALID_FILE_ATTRIBUTES) return false;
    if ((*attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) return true;
    WIN32_FIND_DATAW entry = {};
    const ScopedFindHandle find(FindFirstFileW(LongPathForm(path).c_str(), &entry));
    if (find.Valid()) *tag = entry.dwReserved0;
    return true;
}

}  // namespace

WideString NearestExistingFolder(const WideString& path) {
    const WideString root = RootOf(path);
    WideString folder = StripTrailingSeparator(path);
    while (folder.size() > ShareRootOf(path).size()) {
        if (DirectoryExists(folder)) return folder;
        folder = ParentPath(folder);
    }
    return GetFileAttributesW(root.c_str()) != INVALID_FILE_ATTRIBUTES ? root : WideString();
}

WideString FirstLinkOnTheWay(const WideString& path, std::unordered_set<WideString>* plain) {
    const size_t rootLength = ShareRootOf(path).size();
    // Every folder from the root down, then the path itself.
    StringList way;
    for (WideString step = StripTrailingSeparator(path); step.size() > rootLength; step = ParentPath(step)) {
        way.push_back(step);
    }
    for (size_t i = way.size(); i-- > 0;) {
        const WideString key = FoldedKey(way[i]);
        if (plain->count(key) != 0) continue;
        uint32_t attributes = 0;
        uint32_t tag = 0;
        if (!EntryOf(way[i], &attributes, &tag)) return WideString();  // nothing further down exists
        if (IsLinkEntry(attributes, tag)) return way[i];
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) plain->insert(key);
    }
    return WideString();
}

FileIdentity IdentityOf(const WideString& path) {
    FileIdentity identity;
    const ScopedFileHandle handle(CreateFileW(LongPathForm(path).c_str(), FILE_READ_ATTRIBUTES,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION information = {};
    if (!handle.Valid() || !GetFileInformationByHandle(handle.Get(), &information)) return identity;
    identity.known = true;
    identity.volume = information.dwVolumeSerialNumber;
    identity.index = (uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow;
    return identity;
}

std::vector<FileIdentity> IdentityChainOf(const WideString& path) {
    std::vector<FileIdentity> chain;
    const size_t rootLength = ShareRootOf(path).size();
    WideString folder = NearestExistingFolder(path);
    for (; folder.size() > rootLength + 1; folder = ParentPath(folder)) chain.push_back(IdentityOf(folder));
    if (!folder.empty()) chain.push_back(IdentityOf(RootOf(path)));
    return chain;
}

bool DriveOfPathIsMissing(const WideString& path) {
    const WideString root = RootOf(path);
    return DriveIsMissing(GetDriveTypeW(root.c_str()), GetFileAttributesW(root.c_str()) != INVALID_FILE_ATTRIBUTES);
}

WideString WriteProblemAt(const WideString& folder) {
    const WideString existing = NearestExistingFolder(folder);
    if (existing.empty()) return SystemReason(ERROR_PATH_NOT_FOUND);
    const WideString probe =
        JoinPath(existing, L"brisk-probe-" + IntegerToText(GetCurrentProcessId(), 10) + L".brisk-restoring");
    const ScopedFileHandle file(CreateFileW(LongPathForm(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                            FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE,
                                            nullptr));
    return file.Valid() ? WideString() : SystemReason(GetLastError());
}

StringList LeftoversIn(const WideString& folder) {
    StringList found;
    VisitFolder(folder, [&](const WIN32_FIND_DATAW& entry) {
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && IsRestoreLeftover(entry.cFileName)) {
            found.push_back(JoinPath(folder, entry.cFileName));
        }
    });
    std::sort(found.begin(), found.end());
    return found;
}

#include "stick/backup_places.h"

#include <set>

#include "common/scoped_handle.h"
#include "common/windows_headers.h"
#include "text/canonical_path.h"
#include "text/case_text.h"
#include "text/path_text.h"

namespace {

// "\\?\E:\x" => "E:\x"   "\\?\UNC\srv\s\x" => "\\srv\s\x"
WideString WithoutLongPrefix(const WideString& path) {
    if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0) return L"\\\\" + path.substr(8);
    if (path.compare(0, 4, L"\\\\?\\") == 0) return path.substr(4);
    return path;
}

}  // namespace

bool IsPlainPlace(const WideString& place, const PlaceFacts& facts) {
    if (facts.attributes == INVALID_FILE_ATTRIBUTES) return true;
    if ((facts.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return false;
    if ((facts.attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return true;  // the copy fails on it, nothing more
    // Without a final path (some systems give none past 260 characters) the
    // attributes decide: every folder on the way is looked at as well.
    return facts.finalPath.empty() || ToLowerText(StripTrailingSeparator(WithoutLongPrefix(facts.finalPath))) ==
                                          ToLowerText(StripTrailingSeparator(place));
}

StringList PlacesOfPlan(const BackupPlan& plan) {
    StringList places;
    std::set<WideString> seen;
    auto add = [&](const WideString& place) {
        if (!place.empty() && seen.insert(ToLowerText(place)).second) places.push_back(place);
    };
    add(plan.backupFolder);
    add(plan.computerFolder);
    if (!plan.versionsFolder.empty()) {
        add(ParentPath(plan.versionsFolder));
        add(plan.versionsFolder);
    }
    for (const PlannedFolder& folder : plan.folders) {
        if (folder.fate == FolderFate::Refused || folder.destination.empty()) continue;
        StringList chain;
        for (WideString path = folder.destination; PathWithin(path, plan.backupFolder) && path.size() > plan.backupFolder.size();
             path = ParentPath(path)) {
            chain.insert(chain.begin(), path);
        }
        for (const WideString& path : chain) add(path);
        add(folder.destination);
    }
    return places;
}

PlaceFacts FactsOfPlace(const WideString& place) {
    PlaceFacts facts;
    const WideString path = LongPathForm(place);
    facts.attributes = GetFileAttributesW(path.c_str());
    if (facts.attributes == INVALID_FILE_ATTRIBUTES || (facts.attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return facts;
    }
    const ScopedFileHandle folder(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!folder.Valid()) return facts;
    wchar_t buffer[32768];
    const DWORD length = GetFinalPathNameByHandleW(folder.Get(), buffer, 32768, FILE_NAME_NORMALIZED);
    if (length != 0 && length < 32768) facts.finalPath.assign(buffer, length);
    return facts;
}

WideString FirstLinkedPlace(const BackupPlan& plan) {
    for (const WideString& place : PlacesOfPlan(plan)) {
        if (!IsPlainPlace(place, FactsOfPlace(place))) return place;
    }
    return WideString();
}

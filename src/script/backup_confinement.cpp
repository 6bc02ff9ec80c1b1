#include "script/backup_confinement.h"

#include "plan/versions.h"
#include "text/canonical_path.h"
#include "text/path_text.h"

namespace {

bool IsDrivePath(const WideString& path) { return path.size() >= 3 && path[1] == L':' && path[2] == L'\\'; }

bool IsNetworkSource(const WideString& path) {
    return path.size() > 2 && path[0] == L'\\' && path[1] == L'\\';
}

// A name that makes exactly one folder of its own.
bool IsSingleFolderName(const WideString& name) {
    if (name.empty() || name.find_first_of(L"\\/") != kNoPosition) return false;
    const CanonicalPath canonical = CanonicalPathOf(L"X:\\" + name, WideString());
    return canonical.problem.empty() && canonical.path == L"X:\\" + name;
}

}  // namespace

WideString BackupPlaceOf(const WideString& source, const WideString& backupFolder,
                         const WideString& computerName) {
    if (IsDrivePath(source)) {
        if (!IsSingleFolderName(computerName)) return WideString();
        return JoinPath(JoinPath(backupFolder, computerName), source.substr(0, 1));
    }
    if (!IsNetworkSource(source)) return WideString();
    const WideString shareRoot = ShareRootOf(source);
    if (shareRoot.size() - DriveOrServerRoot(source).size() == 2) return WideString();
    return JoinPath(backupFolder, shareRoot.substr(2));
}

WideString ConfinementProblem(const WideString& source, const WideString& destination,
                              const WideString& backupFolder, const WideString& computerName) {
    if (PathWithin(source, backupFolder)) return L"it lies inside the backup folder " + backupFolder;
    if (PathWithin(backupFolder, source)) return L"it holds the backup folder " + backupFolder;
    const WideString versions = VersionsFolderFor(backupFolder);
    if (PathWithin(source, versions)) return L"it lies inside the earlier versions folder " + versions;
    const WideString place = BackupPlaceOf(source, backupFolder, computerName);
    if (place.empty()) {
        if (IsNetworkSource(source)) {
            return L"its share name is a single letter, so its backup could not be told apart"
                   L" from a computer's drive folder";
        }
        if (!IsDrivePath(source)) return L"it is not an absolute drive or network path";
        return L"the computer's name \"" + computerName + L"\" cannot be a folder name";
    }
    if (!PathWithin(destination, place) || destination.size() <= place.size()) {
        return L"its backup folder " + destination + L" would lie outside " + place;
    }
    return WideString();
}

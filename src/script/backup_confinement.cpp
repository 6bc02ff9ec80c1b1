#include "script/backup_confinement.h"

#include "plan/versions.h"
#include "text/canonical_path.h"
#include "text/path_text.h"
#include "text/messages.h"

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
    if (PathWithin(source, backupFolder)) return Say(Message::InsideBackupFolder, {backupFolder});
    if (PathWithin(backupFolder, source)) return Say(Message::HoldsBackupFolder, {backupFolder});
    const WideString versions = VersionsFolderFor(backupFolder);
    if (PathWithin(source, versions)) return Say(Message::InsideVersionsFolder, {versions});
    const WideString place = BackupPlaceOf(source, backupFolder, computerName);
    if (place.empty()) {
        if (IsNetworkSource(source)) return Say(Message::SingleLetterShare);
        if (!IsDrivePath(source)) return Say(Message::NotAbsolute);
        return Say(Message::ComputerNameNotFolder, {computerName});
    }
    if (!PathWithin(destination, place) || destination.size() <= place.size()) {
        return Say(Message::OutsidePlace, {destination, place});
    }
    return WideString();
}

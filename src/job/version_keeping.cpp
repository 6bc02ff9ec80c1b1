#include "job/version_keeping.h"

#include <ctime>

#include "common/windows_headers.h"
#include "config/folder_reasons.h"
#include "job/drive_room.h"
#include "job/tree_walk.h"
#include "plan/versions.h"
#include "text/canonical_path.h"
#include "text/path_text.h"
#include "text/system_error.h"
#include "trace/trace_log.h"

namespace {

bool IsDirectory(const WIN32_FIND_DATAW& entry) { return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
bool IsReparsePoint(const WIN32_FIND_DATAW& entry) {
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// Makes the folder and the missing ones above it, up to its drive or share.
bool MakeFolders(const WideString& folder) {
    if (folder.size() <= ShareRootOf(folder).size()) return true;
    if (GetFileAttributesW(LongPathForm(folder).c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    if (!MakeFolders(ParentPath(folder))) return false;
    return CreateDirectoryW(LongPathForm(folder).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

// The folder that holds "_Versions_", for a set folder inside it.
WideString HolderOfVersions(const WideString& setFolder) {
    return ParentPath(ParentPath(ParentPath(setFolder)));
}

// Removes the empty folders from the folder up to (not including) the stop.
void RemoveEmptyFolders(WideString folder, const WideString& stop) {
    while (folder.size() > stop.size() && RemoveDirectoryW(LongPathForm(folder).c_str())) {
        folder = ParentPath(folder);
    }
}

// The bytes a tree takes (files rounded up to clusters); links not followed.
uint64_t TreeBytes(const WideString& folder, uint64_t clusterBytes) {
    uint64_t bytes = 0;
    VisitFolder(folder, [&](const WIN32_FIND_DATAW& entry) {
        if (!IsDirectory(entry)) {
            bytes += RoundUpToCluster((uint64_t{entry.nFileSizeHigh} << 32) | entry.nFileSizeLow, clusterBytes);
        } else if (!IsReparsePoint(entry)) {
            bytes += TreeBytes(JoinPath(folder, entry.cFileName), clusterBytes);
        }
    });
    return bytes;
}

// Deletes a tree; a link inside is removed itself, never what it points to.
void RemoveTree(const WideString& folder) {
    VisitFolder(folder, [&](const WIN32_FIND_DATAW& entry) {
        const WideString path = LongPathForm(JoinPath(folder, entry.cFileName));
        if (IsDirectory(entry)) {
            if (!IsReparsePoint(entry)) RemoveTree(JoinPath(folder, entry.cFileName));
            RemoveDirectoryW(path.c_str());
            return;
        }
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
    });
    RemoveDirectoryW(LongPathForm(folder).c_str());
}

// A set folder not yet on the drive, named after the time.
WideString NewSetFolder(const WideString& versionsFolder, std::tm time) {
    for (;;) {
        const WideString folder = JoinPath(versionsFolder, VersionSetName(time));
        if (GetFileAttributesW(LongPathForm(folder).c_str()) == INVALID_FILE_ATTRIBUTES) return folder;
        ++time.tm_sec;
        std::mktime(&time);
    }
}

// Moves the files back where they were, the last first, and removes the
// folders of the set that are left empty.
void MoveBack(const std::vector<VersionMove>& moves, size_t count, const WideString& stop) {
    for (size_t back = count; back-- > 0;) {
        MoveFileExW(LongPathForm(moves[back].to).c_str(), LongPathForm(moves[back].from).c_str(), 0);
        RemoveEmptyFolders(ParentPath(moves[back].to), stop);
    }
}

// Moves the folder's files into the set; on the first failure moves back
// what was moved and returns why, else returns empty.
WideString MoveIntoSet(const std::vector<VersionMove>& moves, const WideString& setFolder) {
    const WideString stop = HolderOfVersions(setFolder);
    for (size_t done = 0; done < moves.size(); ++done) {
        const VersionMove& move = moves[done];
        DWORD error = ERROR_SUCCESS;
        if (!MakeFolders(ParentPath(move.to))) {
            error = GetLastError();
        } else if (!MoveFileExW(LongPathForm(move.from).c_str(), LongPathForm(move.to).c_str(), 0)) {
            error = GetLastError();
        }
        if (error == ERROR_SUCCESS) continue;
        MoveBack(moves, done, stop);
        RemoveEmptyFolders(ParentPath(move.to), stop);
        return L"could not keep the earlier version of " + move.from + L": " + SystemReason(error);
    }
    return WideString();
}

}  // namespace

std::vector<VersionMove> KeepEarlierVersions(BackupPlan* plan, std::tm startTime) {
    std::vector<VersionMove> kept;
    WideString setFolder;
    for (PlannedFolder& folder : plan->folders) {
        if (folder.fate != FolderFate::Mirror) continue;
        if (folder.before.overwritten.empty() && folder.before.deleted.empty()) continue;
        WideString problem = L"could not keep the earlier versions: the computer name cannot be a folder name";
        if (!plan->versionsFolder.empty()) {
            if (setFolder.empty()) setFolder = NewSetFolder(plan->versionsFolder, startTime);
            const std::vector<VersionMove> moves = VersionMoves(*plan, folder, setFolder);
            problem = MoveIntoSet(moves, setFolder);
            if (problem.empty()) {
                ReportLine(KeptVersionsLine(moves.size(), folder.source, setFolder));
                kept.insert(kept.end(), moves.begin(), moves.end());
                continue;
            }
        }
        folder.fate = FolderFate::KeptUnversioned;
        folder.reason = problem;
        ReportLine(NotBackedUpLine(folder.folder, folder.reason));
    }
    return kept;
}

void PutBackEarlierVersions(const std::vector<VersionMove>& kept, const BackupPlan& plan) {
    if (!kept.empty()) MoveBack(kept, kept.size(), ParentPath(VersionsFolderFor(plan.backupFolder)));
}

void MakeRoomFromVersions(BackupPlan* plan) {
    const uint64_t need = TotalNeed(*plan);
    if (need <= plan->freeBytes || plan->versionsFolder.empty()) return;
    std::vector<VersionSet> sets;
    VisitFolder(plan->versionsFolder, [&](const WIN32_FIND_DATAW& entry) {
        if (!IsDirectory(entry) || IsReparsePoint(entry) || !IsVersionSetName(entry.cFileName)) return;
        sets.push_back({entry.cFileName, TreeBytes(JoinPath(plan->versionsFolder, entry.cFileName),
                                                   plan->clusterBytes)});
    });
    uint64_t setBytes = 0;
    for (const VersionSet& set : sets) setBytes += set.bytes;
    if (!RemovingSetsHelps(*plan, setBytes)) return;
    const std::vector<VersionSet> removed = SetsToRemove(sets, need, plan->freeBytes);
    for (const VersionSet& set : removed) {
        RemoveTree(JoinPath(plan->versionsFolder, set.name));
        ReportLine(RemovedSetLine(set));
    }
    WideString problem;
    if (!removed.empty()) ReadRoom(plan->backupFolder, plan, &problem);
}

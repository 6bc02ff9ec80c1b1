#include "versions/version_keeping.h"

#include <algorithm>
#include <ctime>
#include <vector>

#include "common/windows_headers.h"
#include "config/directory_ops.h"
#include "common/scoped_handle.h"
#include "stick/drive_room.h"
#include "walk/tree_walk.h"
#include "plan/versions.h"
#include "records/run_journal_file.h"
#include "text/canonical_path.h"
#include "text/case_text.h"
#include "text/path_text.h"
#include "text/system_error.h"
#include "text/messages.h"

namespace {

bool IsDirectory(const WIN32_FIND_DATAW& entry) { return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
bool IsReparsePoint(const WIN32_FIND_DATAW& entry) {
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
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
// Walked with a list of folders still to list, not by recursion: a deep
// tree costs memory for its folders, not stack.
uint64_t TreeBytes(const WideString& root, uint64_t clusterBytes) {
    uint64_t bytes = 0;
    std::vector<WideString> pending = {root};
    while (!pending.empty()) {
        const WideString folder = std::move(pending.back());
        pending.pop_back();
        VisitFolder(folder, [&](const WIN32_FIND_DATAW& entry) {
            if (!IsDirectory(entry)) {
                bytes += RoundUpToCluster((uint64_t{entry.nFileSizeHigh} << 32) | entry.nFileSizeLow, clusterBytes);
            } else if (!IsReparsePoint(entry)) {
                pending.push_back(JoinPath(folder, entry.cFileName));
            }
        });
    }
    return bytes;
}

// Deletes a tree; a link inside is removed itself, never what it points
// to. Files go as the folders are listed; the folders go afterwards, the
// deepest first. Returns the first failure's error, or ERROR_SUCCESS when
// the whole tree is gone.
DWORD RemoveTree(const WideString& root) {
    DWORD failure = ERROR_SUCCESS;
    auto note = [&failure](BOOL done) {
        if (!done && failure == ERROR_SUCCESS) failure = GetLastError();
    };
    std::vector<WideString> folders = {root};
    for (size_t next = 0; next < folders.size(); ++next) {
        const WideString folder = folders[next];
        VisitFolder(folder, [&](const WIN32_FIND_DATAW& entry) {
            const WideString path = JoinPath(folder, entry.cFileName);
            if (IsDirectory(entry) && !IsReparsePoint(entry)) {
                folders.push_back(path);
                return;
            }
            if (IsDirectory(entry)) {
                note(RemoveDirectoryW(LongPathForm(path).c_str()));
                return;
            }
            SetFileAttributesW(LongPathForm(path).c_str(), FILE_ATTRIBUTE_NORMAL);
            note(DeleteFileW(LongPathForm(path).c_str()));
        });
    }
    // Listed parents first, so the reverse order removes children first.
    for (auto it = folders.rbegin(); it != folders.rend(); ++it) note(RemoveDirectoryW(LongPathForm(*it).c_str()));
    return failure;
}


// Moves one kept file back to its place in the backup; the system's reason
// when it cannot.
WideString MoveBackOne(const VersionMove& move, const WideString& stop) {
    if (!MoveFileExW(LongPathForm(move.to).c_str(), LongPathForm(move.from).c_str(), 0)) {
        return SystemReason(GetLastError());
    }
    RemoveEmptyFolders(ParentPath(move.to), stop);
    return WideString();
}

// The records of runs older than a removed set that kept no set (they only
// added files): the points before that set can no longer be rebuilt, so
// they only take room. Older means a lower run number, or, for records
// from before run numbers, an earlier name.
void RemoveOlderAddedRecords(const WideString& versionsFolder, const VersionSet& removed) {
    StringList old;
    VisitFolder(versionsFolder, [&](const WIN32_FIND_DATAW& entry) {
        if (IsDirectory(entry)) return;
        const WideString added = SetNameOfAddedRecord(entry.cFileName);
        const WideString recorded = SetNameOfRunJournal(entry.cFileName);
        if (!added.empty() && (removed.run != 0 || added < removed.name)) old.push_back(entry.cFileName);
        if (recorded.empty()) return;
        RunJournal journal;
        if (removed.run != 0 && ReadRunJournalHead(JoinPath(versionsFolder, entry.cFileName), &journal) &&
            journal.run < removed.run) {
            old.push_back(entry.cFileName);
        }
    });
    for (const WideString& fileName : old) {
        const WideString setName = SetNameOfAddedRecord(fileName).empty() ? SetNameOfRunJournal(fileName)
                                                                           : SetNameOfAddedRecord(fileName);
        if (GetFileAttributesW(LongPathForm(JoinPath(versionsFolder, setName)).c_str()) != INVALID_FILE_ATTRIBUTES) {
            continue;
        }
        const WideString path = JoinPath(versionsFolder, fileName);
        SetFileAttributesW(LongPathForm(path).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(LongPathForm(path).c_str());
    }
}

}  // namespace

WideString VersionSetOfRun::Folder() {
    if (!folder_.empty() || versionsFolder_.empty()) return folder_;
    std::tm time = startTime_;
    for (;;) {
        folder_ = JoinPath(versionsFolder_, VersionSetName(time));
        // A run that only added files left its record and no folder: its name is taken too.
        if (GetFileAttributesW(LongPathForm(folder_).c_str()) == INVALID_FILE_ATTRIBUTES &&
            GetFileAttributesW(LongPathForm(AddedRecordOf(folder_)).c_str()) == INVALID_FILE_ATTRIBUTES &&
            GetFileAttributesW(LongPathForm(RunJournalOf(folder_)).c_str()) == INVALID_FILE_ATTRIBUTES &&
            GetFileAttributesW(LongPathForm(folder_ + L".sha256").c_str()) == INVALID_FILE_ATTRIBUTES) {
            return folder_;
        }
        ++time.tm_sec;
        std::mktime(&time);
    }
}

WideString VersionSetOfRun::Name() const { return folder_.empty() ? WideString() : FileNamePart(folder_); }

std::vector<VersionMove> VersionSetOfRun::NotYetMoved(std::vector<VersionMove> moves) const {
    moves.erase(std::remove_if(moves.begin(), moves.end(),
                               [this](const VersionMove& move) { return moved_.count(ToLowerText(move.to)) != 0; }),
                moves.end());
    return moves;
}

void VersionSetOfRun::Remember(const std::vector<VersionMove>& moves) {
    for (const VersionMove& move : moves) moved_.insert(ToLowerText(move.to));
}

void VersionSetOfRun::Forget(const std::vector<VersionMove>& moves) {
    for (const VersionMove& move : moves) {
        if (!FactsOf(move.to).exists) moved_.erase(ToLowerText(move.to));
    }
}

WideString MoveIntoSet(const std::vector<VersionMove>& moves, const WideString& setFolder,
                       std::vector<ReturnedFile>* notReturned) {
    const WideString stop = HolderOfVersions(setFolder);
    for (size_t done = 0; done < moves.size(); ++done) {
        const VersionMove& move = moves[done];
        DWORD error = ERROR_SUCCESS;
        if (!MakeFolderTree(ParentPath(move.to))) {
            error = GetLastError();
        } else if (!MoveFileExW(LongPathForm(move.from).c_str(), LongPathForm(move.to).c_str(), 0)) {
            error = GetLastError();
        }
        if (error == ERROR_SUCCESS) continue;
        const std::vector<ReturnedFile> stuck =
            PutBack(std::vector<VersionMove>(moves.begin(), moves.begin() + done), setFolder);
        if (notReturned != nullptr) notReturned->insert(notReturned->end(), stuck.begin(), stuck.end());
        RemoveEmptyFolders(ParentPath(move.to), stop);
        return Say(Message::CantKeepVersion, {move.from, SystemReason(error)});
    }
    return WideString();
}

std::vector<ReturnedFile> PutBack(const std::vector<VersionMove>& moves, const WideString& setFolder) {
    const WideString stop = HolderOfVersions(setFolder);
    std::vector<ReturnedFile> stuck;
    for (size_t back = moves.size(); back-- > 0;) {
        const WideString problem = MoveBackOne(moves[back], stop);
        if (!problem.empty()) stuck.push_back({moves[back], problem});
    }
    return stuck;
}

std::vector<ReturnedFile> PutBackWhatWasNotReplaced(const std::vector<VersionMove>& moves,
                                                    const WideString& setFolder, const CopyPolicy& policy) {
    const WideString stop = HolderOfVersions(setFolder);
    std::vector<ReturnedFile> returned;
    for (const VersionMove& move : moves) {
        const FileFacts backup = FactsOf(move.from);
        if (!PutsBack(move, FactsOf(move.source), backup, policy)) continue;
        // What a failed copy left is not the file: the earlier version takes its place.
        if (backup.exists) {
            const WideString partial = LongPathForm(move.from);
            SetFileAttributesW(partial.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (!DeleteFileW(partial.c_str())) {
                returned.push_back({move, SystemReason(GetLastError())});
                continue;
            }
        }
        returned.push_back({move, MoveBackOne(move, stop)});
    }
    return returned;
}

std::vector<VersionSet> VersionSetsOnDrive(const BackupPlan& plan) {
    std::vector<VersionSet> sets;
    if (plan.versionsFolder.empty()) return sets;
    VisitFolder(plan.versionsFolder, [&](const WIN32_FIND_DATAW& entry) {
        if (!IsDirectory(entry) || IsReparsePoint(entry) || !IsVersionSetName(entry.cFileName)) return;
        const WideString set = JoinPath(plan.versionsFolder, entry.cFileName);
        uint64_t bytes = TreeBytes(set, plan.clusterBytes);
        for (const WideString& beside : {set + L".sha256", AddedRecordOf(set)}) {
            const FileFacts facts = FactsOf(beside);
            if (facts.exists) bytes += RoundUpToCluster(facts.size, plan.clusterBytes);
        }
        RunJournal journal;
        const uint64_t run = ReadRunJournalHead(RunJournalOf(set), &journal) ? journal.run : 0;
        sets.push_back({entry.cFileName, bytes, run});
    });
    return sets;
}

SetRemovals RemoveVersionSets(const std::vector<VersionSet>& sets, BackupPlan* plan) {
    SetRemovals removals;
    for (const VersionSet& set : sets) {
        const DWORD failure = RemoveTree(JoinPath(plan->versionsFolder, set.name));
        if (failure != ERROR_SUCCESS) {
            removals.notRemoved = set;
            removals.failure = SystemReason(failure);
            break;
        }
        // Its checksum list and an older run's record of added files go with
        // it: a point before this run can no longer be rebuilt anyway. Its
        // run's record stays (small), so that the point of this run is still
        // offered and the earlier ones are refused by name.
        const WideString setFolder = JoinPath(plan->versionsFolder, set.name);
        for (const WideString& beside : {setFolder + L".sha256", AddedRecordOf(setFolder)}) {
            SetFileAttributesW(LongPathForm(beside).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(LongPathForm(beside).c_str());
        }
        removals.removed.push_back(set);
        RemoveOlderAddedRecords(plan->versionsFolder, set);
    }
    WideString problem;
    ReadRoom(plan->backupFolder, plan, &problem);
    return removals;
}

WideString AddedRecordOf(const WideString& setFolder) { return setFolder + L".added"; }

WideString SetNameOfAddedRecord(const WideString& fileName) {
    const size_t extension = 6;  // ".added"
    if (fileName.size() <= extension || ToLowerText(fileName.substr(fileName.size() - extension)) != L".added") {
        return WideString();
    }
    const WideString setName = fileName.substr(0, fileName.size() - extension);
    return IsVersionSetName(setName) ? setName : WideString();
}

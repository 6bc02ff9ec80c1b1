// Earlier versions kept on the backup drive. Before a mirror overwrites or
// deletes a backup file, the file is moved (renamed, on the same drive)
// into this run's version set:
//   <drive or share>\_Versions_\<COMPUTER>\<YYYY-MM-DD_HHMMSS>\<path below _Backup_\<COMPUTER>>
// so that _Backup_ stays an exact mirror of the sources while nothing it
// held is lost. Sets are plain folders the user opens in Explorer; when the
// drive needs room, whole sets of this computer go, oldest first.
// Nothing here touches the disk.
#pragma once

#include <cstdint>
#include <ctime>
#include <vector>

#include "plan/backup_plan.h"
#include "text/wide_string.h"

// The folder beside the backup folder that holds the version sets.
//   "F:\_Backup_" => "F:\_Versions_"   "\\srv\s\_Backup_" => "\\srv\s\_Versions_"
WideString VersionsFolderFor(const WideString& backupFolder);

// This computer's folder of sets, or empty when the computer's name cannot
// be one plain folder name (then no version is kept and no set removed).
//   ("F:\_Backup_", "PC01") => "F:\_Versions_\PC01"   ("F:\_Backup_", "..") => ""
WideString VersionsComputerFolder(const WideString& backupFolder, const WideString& computerName);

// The name of the set of a run started at the local time.
//   7 December 2026 18:30:00 => "2026-12-07_183000"
WideString VersionSetName(const std::tm& localTime);

// Whether a folder name is a set's name (only such folders are ever removed).
bool IsVersionSetName(const WideString& name);

// Where a planned folder's backup lies inside a set: its path below this
// computer's folder, or, for a share's backup, below the backup folder.
//   "E:\_Backup_\PC01\C\KORV\Data" => "C\KORV\Data"
//   "E:\_Backup_\srv\share\x" => "srv\share\x"
WideString VersionPlaceOf(const BackupPlan& plan, const PlannedFolder& folder);

// Where a run's backups and versions lie, in the form the folders'
// destinations have: on a mapped network drive the network form, so that a
// version's place is worked out from the same text as its destination. The
// drive stays as the lines name it.
//   ("E:\_Backup_", "\\srv\s\_Backup_", "PC01") => backupFolder "\\srv\s\_Backup_",
//     computerFolder "\\srv\s\_Backup_\PC01", versionsFolder "\\srv\s\_Versions_\PC01", drive "E:"
void SetBackupRoots(BackupPlan* plan, const WideString& backupFolder, const WideString& destinationForm,
                    const WideString& computerName);

// One backup file to keep: moved from its place in the backup to the set.
struct VersionMove {
    WideString from;
    WideString to;
    uint64_t size = 0;
    // The source file whose copy replaces it; empty when the copy deletes it.
    WideString source;
    int64_t lastWrite = 0;  // of the backup file, as the plan found it
};

// The moves that keep every backup file the folder's copy would overwrite
// or delete, into the set folder given.
std::vector<VersionMove> VersionMoves(const BackupPlan& plan, const PlannedFolder& folder,
                                      const WideString& setFolder);

// The bytes the set's new folders take: one cluster for each folder from
// the set folder down to every kept file's folder, each counted once.
//   moves to "S\C\a\x", "S\C\a\y", "S\C\b\z" with 4096 => 4 folders (S, S\C, S\C\a,
//   S\C\b) => 16384
uint64_t SetFoldersNeed(const std::vector<VersionMove>& moves, const WideString& setFolder,
                        uint64_t clusterBytes);

// What a file's name, size and time say, as the system answered.
struct FileFacts {
    bool exists = false;
    uint64_t size = 0;
    int64_t lastWrite = 0;
};

// Whether a file kept aside goes back into the backup after its folder's
// copy: when its replacement did not land whole (missing, or not the
// source's size and time). A missing replacement is put back even when the
// source cannot be reached now (a network folder that dropped). A file the
// copy deleted, or whose source is gone while a file stands in its place,
// stays in the set.
bool PutsBack(const VersionMove& move, const FileFacts& source, const FileFacts& backup,
              const CopyPolicy& policy);

// A set already on the drive.
struct VersionSet {
    WideString name;
    uint64_t bytes = 0;  // what removing it frees
    uint64_t run = 0;    // its run's number, from its record; 0 for a set older than the records
};

// The sets to remove, oldest first (by their runs' numbers, whatever the
// clock said; sets without a record before all others, by name), so that
// one folder needing that many bytes fits: none when it fits already, and none when even removing every
// set would not let it fit (removing them would then gain nothing). The
// run's own set is never among them.
//   sets 2026-01 (2 MB), 2026-02 (2 MB); need 5 MB, free 2 MB => 2026-01
//   the same with need 9 MB => none
std::vector<VersionSet> SetsToRemove(std::vector<VersionSet> sets, uint64_t need, uint64_t freeBytes,
                                     const WideString& ownSet);

// "Kept 3 earlier files of C:\KORV\Data in E:\_Versions_\PC01\2026-12-07_183000"
WideString KeptVersionsLine(size_t files, const WideString& folder, const WideString& setFolder);
// "Removed the earlier versions of 2026-11-02_183000 (12.3 MB) to make room"
WideString RemovedSetLine(const VersionSet& set);
// "Could not remove the earlier versions of 2026-11-02_183000: <reason>"
WideString SetNotRemovedLine(const VersionSet& set, const WideString& reason);

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

// One backup file to keep: moved from its place in the backup to the set.
struct VersionMove {
    WideString from;
    WideString to;
    uint64_t size = 0;
};

// The moves that keep every backup file the folder's copy would overwrite
// or delete, into the set folder given.
std::vector<VersionMove> VersionMoves(const BackupPlan& plan, const PlannedFolder& folder,
                                      const WideString& setFolder);

// A set already on the drive.
struct VersionSet {
    WideString name;
    uint64_t bytes = 0;  // what removing it frees
};

// The sets to remove, oldest first, until the free bytes cover the need;
// all of them when even that is not enough; none when it fits already.
std::vector<VersionSet> SetsToRemove(std::vector<VersionSet> sets, uint64_t need, uint64_t freeBytes);

// Whether removing sets holding that many bytes would let at least one
// folder with something to copy be copied: otherwise removing them would
// destroy earlier versions and copy nothing.
bool RemovingSetsHelps(const BackupPlan& plan, uint64_t setBytes);

// "Kept 3 earlier files of C:\KORV\Data in E:\_Versions_\PC01\2026-12-07_183000"
WideString KeptVersionsLine(size_t files, const WideString& folder, const WideString& setFolder);
// "Removed the earlier versions of 2026-11-02_183000 (12.3 MB) to make room"
WideString RemovedSetLine(const VersionSet& set);

// The backup plan: every folder of a run with its place in the backup and
// its fate, decided once before the copy. The script, the fit check, the
// verification, the time stamps and the folder-list file all read it; none
// of them works out a destination or a refusal again.
//
// The plan holds what each folder's comparison found (counts, the bytes its
// copy needs, the backup files it will overwrite or delete), never whole
// tree listings. Nothing here touches the disk.
#pragma once

#include <cstdint>
#include <vector>

#include "plan/tree_compare.h"
#include "text/wide_string.h"

enum class FolderFate {
    Mirror,       // copied as a mirror
    KeptEmptied,  // holds nothing the copy takes, while mirroring would delete backup files
    KeptNoRoom,   // its copy does not fit on the drive
    Unreadable,   // it or its backup could not be listed
    KeptUnversioned,  // a backup file its copy would replace could not be kept as an earlier version
    Refused,      // never mirrored (see reason)
};

struct PlannedFolder {
    WideString folder;       // as the folder list names it
    WideString source;       // its canonical form
    WideString destination;  // its backup folder; empty when refused
    WideString commandLine;  // the copy command; empty when refused
    FolderFate fate = FolderFate::Mirror;
    WideString reason;       // why it is not mirrored, in a few words
    // A configured folder that lies inside this folder's backup: the copy
    // then deletes nothing, so that folder is not purged. Empty when none.
    WideString holds;
    // Folders left out of its copy, plan and check, by their path below its
    // source and backup, lower-cased (see CopyPolicy::skippedFolders).
    StringList skippedFolders;
    TreeComparison before;   // what the copy will do
    bool verified = false;   // after the copy: every file the copy takes is in its backup
};

struct BackupPlan {
    WideString backupFolder;    // "E:\_Backup_"
    WideString computerFolder;  // "E:\_Backup_\PC01": this computer's own backups
    WideString versionsFolder;  // "E:\_Versions_\PC01": its earlier versions; empty when none can be kept
    WideString drive;           // "E:" or "\\srv\share", as lines name it
    uint64_t freeBytes = 0;
    uint64_t clusterBytes = 0;
    // The folder list the plan was made from, as the folder-list file keeps
    // it (an empty entry where a configured folder was missing included).
    StringList folderList;
    std::vector<PlannedFolder> folders;
};

// The fate a comparison gives a folder that may be mirrored: Unreadable with
// the listing's problem as reason, KeptEmptied when the source holds no file
// the copy takes and the backup would lose files, else Mirror. A folder
// whose backup holds a configured folder deletes nothing.
void DecideFate(PlannedFolder* folder);

// Why a folder that needs more than the drive has free is left out: its
// need beyond the free bytes, rounded up.
//   (5 MiB + 2411724, 5 MiB, "E:") => "needs 2.3 MB more than E: has free"
WideString NoRoomReason(uint64_t need, uint64_t freeBytes, const WideString& drive);

// The folders to stamp with the time of the backup: the backup folder of
// every folder mirrored and verified, and each folder between it and the
// computer folder (included); ascending, each once. Nothing outside the
// computer folder: another computer's or a share's backup is not this
// run's to date.
//   destination "E:\_Backup_\PC01\C\KORV\Master" =>
//     "E:\_Backup_\PC01", "E:\_Backup_\PC01\C", "E:\_Backup_\PC01\C\KORV",
//     "E:\_Backup_\PC01\C\KORV\Master"
StringList FoldersToStamp(const BackupPlan& plan);

// The amount with one decimal, rounded up, in gibibytes from 1 GiB on and
// in mebibytes below:  3435973836 => "3.2 GB"   3000000 => "2.9 MB"
WideString SizeText(uint64_t bytes);
// The same rounded to the nearest tenth, for what was copied: a few bytes
// are "0.0 MB", not a tenth of a megabyte.
//   22 => "0.0 MB"   52428 => "0.0 MB"   52429 => "0.1 MB"   3000000 => "2.9 MB"
WideString CopiedSizeText(uint64_t bytes);

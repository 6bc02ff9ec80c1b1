// A backup run: the checks before the copy, the copy script run to its
// end, and the verification of every copied folder afterwards.
#pragma once

#include "text/wide_string.h"

// How a backup run ended; the values are the program's exit status.
enum class BackupOutcome {
    Complete = 0,    // every folder copied and verified
    Incomplete = 1,  // the copy ran, but a folder is incomplete or was not backed up
    NotMade = 2,     // nothing was copied: root not writable, too little space, no script
};

// The verdict line after the per-folder lines:
//   "Backup complete: 3 folders, 120 files."
//   "Backup INCOMPLETE: 1 of 3 folders incomplete (2 files missing or older), 1 folder not backed up."
WideString VerdictLine(size_t folders, uint64_t files, size_t incompleteFolders,
                       uint64_t missingFiles, size_t notBackedUp);

// "The backup needs 3.2 GB more than E: has free; nothing was copied"
WideString ShortfallLine(uint64_t missingBytes, const WideString& drive);

// Backs up the folders below the root: makes sure the root can be written,
// refuses what must not be mirrored (named in "Not backed up: " lines),
// keeps the backup of a folder that became empty, copies only when
// everything fits, runs the script and verifies the result. notBackedUp
// counts the configured folders already reported as not backed up.
BackupOutcome SetUpAndRunBackup(const StringList& folders, const WideString& backupRoot,
                                size_t notBackedUp);

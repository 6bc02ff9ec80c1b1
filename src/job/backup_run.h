// A backup run: the plan made before the copy, the copy script run to its
// end, and the verification of every copied folder afterwards.
#pragma once

#include "plan/backup_plan.h"
#include "text/wide_string.h"

// How a backup run ended; the values are the program's exit status.
enum class BackupOutcome {
    Complete = 0,    // every folder copied and verified
    Incomplete = 1,  // the copy ran, but a folder is incomplete or was not backed up
    NotMade = 2,     // nothing was copied: root not writable, too little space, no script
};

// Backs up the folders below the root. Makes sure the root can be written,
// plans every folder (refused ones, and those that cannot be read, kept by
// the brake or left out for want of room, are named in "Not backed up: "
// or "Kept the backup of " lines), copies only what fits, runs the script,
// verifies each copied folder, writes the folder-list file and says the
// verdict. notBackedUp counts the configured folders already reported as
// not backed up. The plan is left for the stages after the run.
BackupOutcome SetUpAndRunBackup(const StringList& folders, const WideString& backupRoot,
                                size_t notBackedUp, BackupPlan* plan);

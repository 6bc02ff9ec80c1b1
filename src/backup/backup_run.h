// A backup run: the plan made before the copy, the copy script run to its
// end, and the verification of every copied folder afterwards.
#pragma once

#include <memory>

#include "common/scoped_handle.h"
#include "housekeeping/run_history.h"
#include "backup/backup_check.h"
#include "plan/backup_plan.h"
#include "stick/stick_keeping.h"
#include "text/wide_string.h"

// How a backup run ended; the values are the program's exit status.
enum class BackupOutcome {
    Complete = 0,    // every folder copied and verified
    Incomplete = 1,  // the copy ran, but a folder is incomplete or was not backed up
    NotMade = 2,     // nothing was copied: root not writable, too little space, no script
};

// How a run went, for the lines and records after it.
struct BackupSummary {
    // The run held the drive (its lock): its history gets a line.
    bool heldTheDrive = false;
    RunRecord record;
    // The verdict, to be said last; empty when the run has already said
    // why no backup was made.
    WideString verdict;
    // What the stick gave back of what the run wrote.
    StickReadBack stick;
};

// Backs up the folders below the root. Makes sure the root can be written
// and that no other run of this computer is using it (the lock is left in
// runLock for the rest of the run), resolves every folder (refusals named),
// then takes the folders one at a time: a pause, its plan (one that cannot
// be read, kept by the brake or left out for want of room is named in a
// "Not backed up: " or "Kept the backup of " line), its earlier versions,
// its copy through a script of its own, its check and the put-back of what
// its copy did not replace. Then writes the folder-list file. The verdict
// and the run's record go to the summary, for the caller to say last.
// notBackedUp counts the configured folders already reported as not backed
// up. The plan is left for the stages after the run.
BackupOutcome SetUpAndRunBackup(const StringList& folders, const WideString& backupRoot, size_t notBackedUp,
                                BackupPlan* plan, std::unique_ptr<ScopedFileHandle>* runLock,
                                BackupSummary* summary);

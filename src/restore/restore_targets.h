// What a restore settles before it writes anything: which files it tries,
// which it names as not tried and why, the leftovers of an earlier restore
// in its folders, and whether it may write at all (no link on the way, the
// stick's own folders not among the targets, each target writable, room on
// each drive). /list settles the same, without the probe of writing.
#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "plan/backup_plan.h"
#include "points/restore_plan.h"
#include "restore/restore_rules.h"
#include "text/wide_string.h"

// Where a restore's files go.
struct RestoreTargets {
    bool original = false;  // back to the places they were backed up from
    WideString root;        // else below this folder
    StringList places;      // for original: the backup's folders (PlacesOfFolderList)
    WideString computer;    // the backup's computer, for the reasons said
    WideString stickDrive;  // "E:"
    // The stick's "_Backup_" and "_Versions_" as the system identifies them.
    std::vector<FileIdentity> stickFolders;
    // What the system answers, here so that a test can give any answer: the
    // room of the drive that holds a folder (job/drive_room.h), and why
    // nothing can be written into a folder (target_checks.h), empty when it can.
    std::function<bool(const WideString& folder, BackupPlan* room, WideString* problem)> readRoom;
    std::function<WideString(const WideString& folder)> writeProblem;
};

// The targets with the system's own answers.
RestoreTargets SystemRestoreTargets();

struct PreparedItem {
    const RestoreItem* item = nullptr;
    RestoreOutcome before = RestoreOutcome::Restored;  // Restored: it is tried
};

struct PreparedRestore {
    std::vector<PreparedItem> items;  // in the plan's order
    // Original folders whose drive is not on this computer, with their files.
    std::vector<std::pair<WideString, uint64_t>> missingDrives;
    StringList leftovers;  // temporary files of an earlier restore in the target folders
    // The line that refuses the whole restore before it writes; empty when it may go on.
    WideString refusal;
};

// Settles the plan's files for the targets; probe asks, for each folder a
// restore writes into, whether a file can be made there.
PreparedRestore PrepareRestore(const RestorePlan& plan, const RestoreTargets& targets, bool replace, bool probe);

// Whether a restore into the folder would land in the stick's "_Backup_" or
// "_Versions_" (the drive given as "E:"): by its spelling, or by what the
// folder and those above it are (a short name, a link).
bool IsInStickFolders(const WideString& folder, const WideString& drive, const std::vector<FileIdentity>& stickFolders);

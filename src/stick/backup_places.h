// The folders on the backup drive that the mirror, the moves into version
// sets and the removal of old sets act on: "_Backup_", the computer's folder,
// every destination, "_Versions_" and the computer's sets folder. A stick
// that passed through other hands may hold a junction or symbolic link in
// any of these places; the backup would then delete, overwrite or move the
// files of whatever it points to (another user's folder on C:, another
// computer's backup). Each place that exists must be a plain folder whose
// final path is its own path.
#pragma once

#include <cstdint>

#include "plan/backup_plan.h"
#include "text/wide_string.h"

// What the system says of one place.
struct PlaceFacts {
    uint32_t attributes = 0xFFFFFFFF;  // INVALID_FILE_ATTRIBUTES when it is not there
    WideString finalPath;              // GetFinalPathNameByHandleW's answer, empty when none
};

// Whether the place may be written: missing (the run makes it), or a folder
// that is no reparse point and whose final path, without its "\\?\" or
// "\\?\UNC\" prefix, is the place itself (letter case aside). When the
// system gives no final path, the attributes decide (PlacesOfPlan lists every
// folder on the way, so a link above the place is found at its own place).
//   ("E:\_Backup_", {directory, "\\?\E:\_Backup_"}) => true
//   ("E:\_Backup_", {directory | reparse point, ...}) => false
//   ("E:\_Backup_\PC01\C", {directory, "\\?\E:\_Backup_\PC02\C"}) => false (a link on the way)
//   ("E:\_Backup_", {directory, ""}) => true (no final path: its attributes decide)
bool IsPlainPlace(const WideString& place, const PlaceFacts& facts);

// The places of the plan to look at before the first write: the backup
// folder, the computer's folder, "_Versions_" and the sets folder (when
// versions are kept), and each folder's destination and the folders between
// it and the computer's folder, each once.
StringList PlacesOfPlan(const BackupPlan& plan);

// Asks the system about a place (the folder opened for its final path,
// links not followed).
PlaceFacts FactsOfPlace(const WideString& place);

// The first place of the plan that is not plain, or empty when all are.
WideString FirstLinkedPlace(const BackupPlan& plan);

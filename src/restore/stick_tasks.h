// The tasks that only read the stick: the list of points (/restore /dates)
// and the check of every file against its checksum (/check), and what every
// task of the stick looks at first.
#pragma once

#include "points/restore_plan.h"
#include "text/messages.h"
#include "text/wide_string.h"

// The place of one computer's backups on the stick.
struct StickPlace {
    WideString drive;           // "E:"
    WideString computer;        // "PC01"
    WideString computerFolder;  // "E:\_Backup_\PC01"
    WideString versionsFolder;  // "E:\_Versions_\PC01"
};

constexpr int kStickTaskComplete = 0;
constexpr int kStickTaskIncomplete = 1;
constexpr int kStickTaskNothingDone = 2;

// The /dates line of a point, and the sentence that refuses it, by what a
// later run lacks.
Message DatesLineOf(const RestorePoint& point);
Message RefusalOf(const RestorePoint& point);

// A task that does nothing says why; a restore's verdict line comes last.
// Returns kStickTaskNothingDone.
int RefuseStickTask(const WideString& line, bool restoring = true);

// The stick's folders a task reads ("_Backup_", the computer's folder,
// "_Versions_" and the computer's sets folder), each of which must be a
// plain folder as the backup requires (see job/backup_places.h); the first
// one that is not, or empty when all are.
WideString FirstLinkedStickPlace(const StickPlace& place);

// Lists the points that can be restored; the exit status.
int ListDates(const StickPlace& place);

// Reads every file of the computer's backup and of its sets against its
// line and names each damaged one; the exit status (CheckExitStatus).
int CheckStick(const StickPlace& place);

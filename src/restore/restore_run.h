// The restore, the list of points and the check of the stick, run from the
// stick on any PC (see restore/restore_arguments.h).
#pragma once

#include "restore/progress_line.h"
#include "restore/restore_arguments.h"
#include "restore/restore_targets.h"
#include "points/stick_records.h"
#include "restore/stick_tasks.h"
#include "text/messages.h"
#include "text/wide_string.h"

// Runs the task; returns the exit status: 0 complete (or all match), 1 some
// file not restored (or damaged), 2 nothing done (each reason said).
int RunStickTask(const StickArguments& arguments, const WideString& programPath);

// The drive whose backup a task reads: the one /on: names, else the
// program's own; empty when the program lies on no drive letter.
//   ("", "E:\brisk.exe") => "E:"   ("F:", "E:\brisk.exe") => "F:"   ("", "\\srv\s\brisk.exe") => ""
WideString StickDriveOf(const WideString& on, const WideString& programPath);

// Whether a restore's target lies in the stick's own backup folders, where
// restored files would mix with the records they come from, by its spelling
// (see IsInStickFolders in restore/restore_targets.h for what the folders are).
//   ("E:\_Backup_\x", "E:") => true   ("e:\_versions_", "E:") => true   ("E:\Restored", "E:") => false
bool IsInsideBackupFolders(const WideString& target, const WideString& drive);

// Writes a prepared restore (see PrepareRestore, which found nothing to
// refuse): the leftovers and the files not tried named first, then each
// file restored from the stick, the empty folders made, the verdict line
// last. The exit status is RestoreExitStatus of what became of them.
int RestorePrepared(const StickPlace& place, const StickRecords& stick, const RestorePlan& plan,
                    const PreparedRestore& prepared, bool replace, const RestoreTargets& targets,
                    const WideString& shownTarget);

// The restore, the list of points and the check of the stick, run from the
// stick on any PC (see restore/restore_arguments.h).
#pragma once

#include "restore/restore_arguments.h"
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
// restored files would mix with the records they come from.
//   ("E:\_Backup_\x", "E:") => true   ("e:\_versions_", "E:") => true   ("E:\Restored", "E:") => false
bool IsInsideBackupFolders(const WideString& target, const WideString& drive);

// The progress line of a restore (ProgressDone) or a check (ProgressChecking):
//   "Restoring: 120 of 3,204 files, 12.1 MB of 1.2 GB, about 41 s left";
// the time left only once a second has passed and something was done.
WideString ProgressLine(Message head, uint64_t files, uint64_t allFiles, uint64_t bytes, uint64_t allBytes,
                        uint64_t elapsedMs);

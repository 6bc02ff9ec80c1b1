// After the copy: the backup folders get the time of the backup as their
// last-write and last-access times, so that Explorer shows when the backup
// was made.
#pragma once

#include <cstdint>

#include "plan/backup_plan.h"
#include "text/wide_string.h"

// Sets a file's or folder's last-access and last-write times (seconds since
// 1970, UTC); the creation time stays. A link is changed itself, not its
// target. False, with "error ... " and the system's error number on the
// error stream, when it cannot be opened.
bool SetFileTimes(const WideString& path, int64_t accessTime, int64_t writeTime);

// Says "Waiting for <seconds> seconds ..." and waits that long.
bool PauseSeconds(int seconds);

// Prints the backup folder of every folder the plan mirrored and verified,
// an empty line, then every folder it stamps with the current time (see
// FoldersToStamp).
bool StampBackupFolders(const BackupPlan& plan);

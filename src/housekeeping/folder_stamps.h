// After the copy: the backup folders get the time of the backup as their
// last-write and last-access times, so that Explorer shows when the backup
// was made; then a short pause lets the user read the console.
#pragma once

#include <cstdint>
#include <functional>

#include "text/wide_string.h"

// The backup folder below a base folder: base\_Backup_, or the base itself
// (without a trailing separator) when it already ends in "_Backup_" in any
// letter case.
//   "E:\" => "E:\_Backup_"   "E:\_BACKUP_\" => "E:\_BACKUP_"
WideString BackupFolderPath(const WideString& baseFolder);

// The folders to stamp for the mirror destinations: each destination and
// every folder between it and the backup folder, the backup folder
// included; ascending, each once. The walk up from a destination stops at
// the first existing folder shorter than the backup folder, after 20
// folders at most; paths of 4 characters or fewer are left out.
//   ({"E:\_Backup_\PC01\D\u"}, "E:\_Backup_") =>
//       {"E:\_Backup_", "E:\_Backup_\PC01", "E:\_Backup_\PC01\D", "E:\_Backup_\PC01\D\u"}
StringList FoldersToStamp(const StringList& destinations, const WideString& backupFolder,
                          const std::function<bool(const WideString&)>& directoryExists);

// Sets a file's or folder's last-access and last-write times (seconds since
// 1970, UTC); the creation time stays. A link is changed itself, not its
// target. False, with "error ... " and the system's error number on the
// error stream, when it cannot be opened.
bool SetFileTimes(const WideString& path, int64_t accessTime, int64_t writeTime);

// Runs "timeout <seconds>" through the command interpreter and waits for it.
bool PauseSeconds(int seconds);

// Prints each source's backup folder (empty and missing sources are
// skipped), an empty line, then every folder it
// stamps with the current time (see FoldersToStamp), then pauses 5 seconds.
bool StampBackupFolders(const StringList& sources, const WideString& backupFolder);

// Keeping each source's mirror inside its own place. A mirror purges what
// its destination holds and the source lacks, so a destination that climbs
// out of the source's place (through "..", a device prefix, a '%' turned
// into a separator) or that lands in another computer's folder would delete
// copies that are not its own.
//
// A drive source C:\x is mirrored strictly inside <backup>\<computer>\C, a
// network source \\srv\share\x strictly inside <backup>\srv\share. All paths
// given here are canonical (see text/canonical_path.h).
#pragma once

#include "text/wide_string.h"

// The place a source's mirror must lie strictly inside, or empty when the
// source has none: a network share named by a single letter (its place
// would be computer srv's folder of drive x), a computer name that cannot be
// a folder name, or a source that is neither a drive nor a network path.
//   ("C:\Data", "E:\_Backup_", "PC01")    => "E:\_Backup_\PC01\C"
//   ("\\fs\share\x", "E:\_Backup_", "PC01") => "E:\_Backup_\fs\share"
//   ("\\fs\C\x", "E:\_Backup_", "PC01")   => ""
WideString BackupPlaceOf(const WideString& source, const WideString& backupFolder,
                         const WideString& computerName);

// Why the source cannot be mirrored to the destination below the backup
// folder, or empty when it can: the destination must lie strictly inside the
// source's place, and the source must neither lie inside the backup folder
// nor hold it, nor lie inside the earlier versions beside it.
WideString ConfinementProblem(const WideString& source, const WideString& destination,
                              const WideString& backupFolder, const WideString& computerName);

// What the checks do to the backup when a copy did not hold its bytes: the
// few changes they make on the stick and to a folder's plan.
#pragma once

#include <cstdint>

#include "plan/backup_plan.h"
#include "plan/versions.h"
#include "text/wide_string.h"

// Removes a file of the backup; the system's reason when it cannot.
WideString RemoveBackupFile(const WideString& path);

// Removes the folders left empty from the folder up to (not including) the stop.
void RemoveEmptyFoldersUpTo(WideString folder, const WideString& stop);

// Takes a backup file out of the folder's comparison, as the walk would
// have counted it had it been missing: the copy now takes it, and the file
// itself is kept as an earlier version before that.
void CountAsToCopy(PlannedFolder* folder, const WideString& relative, const FileFacts& backup, uint64_t clusterBytes);

// Keeping earlier versions on the backup drive (see plan/versions.h): the
// moves before the copy, and the removal of old sets when the drive needs
// room. Each step is said on the console and in the trace log.
#pragma once

#include <ctime>
#include <vector>

#include "plan/backup_plan.h"
#include "plan/versions.h"
#include "text/wide_string.h"

// Moves every backup file each mirrored folder's copy would overwrite or
// delete into a new set named after the local time (a second later while
// that name is taken), and says "Kept <n> earlier files of <folder> in
// <set>". A folder whose files cannot all be moved gets back what was
// moved, is not copied (KeptUnversioned) and is named in a "Not backed up:"
// line. An empty set is not left behind. Returns the moves made.
std::vector<VersionMove> KeepEarlierVersions(BackupPlan* plan, std::tm startTime);

// Moves the files back into the backup, for a copy that could not start,
// and removes the folders left empty.
void PutBackEarlierVersions(const std::vector<VersionMove>& kept, const BackupPlan& plan);

// Removes this computer's sets, oldest first, until the need of the plan
// fits the free bytes (or none is left), saying each; then reads the free
// bytes again. Nothing is removed when even all of them would not let any
// folder with something to copy in. Another computer's sets and anything
// but sets stay.
void MakeRoomFromVersions(BackupPlan* plan);

// Where each folder of a run is backed up, or why it is not: the first step
// of the backup plan. Every folder is used in its canonical form, its backup
// folder must lie inside its own place below the backup folder (see
// backup_confinement.h), must not overlap another folder's backup (see
// backup_overlap.h), and its copy command must fit the script's code page.
#pragma once

#include <functional>
#include <vector>

#include "plan/backup_plan.h"
#include "script/command_line.h"
#include "script/copy_settings.h"
#include "text/wide_string.h"

// The planned folders for the folder list: empty entries, entries that are
// not directories by isDirectory and repeats are left out; every other
// entry is Mirror with its destination and command line, or Refused with
// the reason. A mirrored folder whose backup holds a refused folder is
// copied without deleting (neither /mir nor /purge), so that the refused
// folder is not purged; "holds" names it. The job's settings are as they
// were afterwards.
std::vector<PlannedFolder> ResolveBackupFolders(
    CopySettings& job, const CommandLineContext& context, const StringList& folders,
    const std::function<bool(const WideString&)>& isDirectory);

// The reason for a folder whose command the script's code page cannot carry:
//   437 => "the script's code page 437 cannot carry its path or its backup path"
WideString CannotCarryReason(unsigned codePage);

// "Can't back up <folder> - <reason>"; a refused planned folder is named by
// its canonical form when it has one.
WideString RefusalMessage(const WideString& folder, const WideString& reason);
WideString RefusalMessage(const PlannedFolder& folder);

// The backup run's job: the copy policy, one script for all folders, run to
// its end.
#pragma once

#include "plan/copy_policy.h"
#include "text/wide_string.h"

class BackupJob;

// The folder every source is mirrored below: the root itself when its last
// component is "_Backup_" (any letter case), otherwise root\_Backup_.
//   "F:\_Backup_" => "F:\_Backup_"   "F:\_backup_" => "F:\_backup_"
//   "F:\" => "F:\_Backup_"   "F:\_Backup_\" => "F:\_Backup_\_Backup_"
//   "\\srv\x_Backup_" => "\\srv\x_Backup_\_Backup_"
WideString BackupDestinationFor(const WideString& backupRoot);

// The backup policy: mirror with purge, FAT times, 3 retries 5 s apart, files
// up to 4294967295 bytes (the largest file FAT32 holds), *.bak *.tmp Thumbs.db and the folders bak .vs
// _Backup_ _Search_ *.tmp excluded, a long final pause.
void ApplyBackupPolicy(BackupJob& job, const WideString& destination);


// The policy of the job's options, as its copy applies them.
CopyPolicy PolicyOf(const BackupJob& job);

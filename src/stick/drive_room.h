// How much room the backup drive has, as the system says.
#pragma once

#include "plan/backup_plan.h"
#include "text/wide_string.h"

// The bytes free to this user and the cluster size of the drive or share
// that holds the folder, into the plan; false with the system's reason
// when either cannot be read.
bool ReadRoom(const WideString& folder, BackupPlan* plan, WideString* problem);

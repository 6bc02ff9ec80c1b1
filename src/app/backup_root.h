// Where a backup run writes: the backup root, a folder named "_Backup_" at
// the root of the drive or share of the first argument (or, without one, of
// the program file).
#pragma once

#include "text/wide_string.h"

// A path cut to its drive or share root, keeping the trailing separator.
// Only backslashes are searched after the drive.
//   "D:\tools\app.exe" => "D:\"   "D:/tools/app.exe" => "D:/"   "e:\" => "e:\"
//   "\\srv\share\dir\file" => "\\srv\share\"   "\\srv\share" => "\\srv\share"
//   "data\sub\x" => "data\sub\"
WideString VolumeRootOf(const WideString& path);

// The backup root for an argument list (element 0 the program path, element
// 1 the first argument) before demo mode is considered: the volume root plus
// "_Backup_", unless the root already contains that word in any letter case.
//   {"D:\tools\app.exe"} => "D:\_Backup_"
//   {"x.exe", "\\srv\_BACKUP_\x\y"} => "\\srv\_BACKUP_\"
WideString BackupRootFor(const StringList& arguments);

// Whether a backup root lies on the system drive ("C:\" in any letter case at
// its start; "C:/" does not count).
bool IsSystemDriveRoot(const WideString& root);

// The backup root for the argument list (see BackupRootFor). On the system drive it is moved below
// the work folder (demo mode): "demo mode." and an empty line are printed
// and the program pauses three seconds.
WideString SelectBackupRoot(const StringList& arguments);

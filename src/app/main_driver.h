// The main driver: decides between relocating the program and a backup run,
// and runs the stages of a backup run in order.
#pragma once

#include <functional>

#include "text/wide_string.h"

enum class RunKind {
    // Back up; print the echo line first when there is one.
    Backup,
    // Started from drive C: without arguments, a removable drive present:
    // copy the program there and show it.
    RelocateToRemovable,
    // The same without a removable drive: copy the program to the first
    // fixed drive from D: (fixedDrive) and show it.
    CopyToFixedDrive,
};

struct MainDecision {
    RunKind kind = RunKind::Backup;
    bool hasEchoLine = false;
    WideString echoLine;
    int fixedDrive = -1;
};

// The decision for a process argument list (element 0 the program's full
// path); the drive searches are asked only for a start from drive C:
// without arguments. Without any drive to move to, that start backs up (in
// demo mode) without an echo line.
//   {"D:\tools\brisk.exe"}            => Backup, echo "D:\tools\brisk.exe"
//   {"c:\Tools\brisk.exe"}, E: removable => RelocateToRemovable
//   {"C:\brisk.exe", "F:\data", "x"}  => Backup, echo "F:\data"
//   {"D:\brisk.exe", ""}              => Backup, echo "D:\brisk.exe"
MainDecision DecideMainRun(const StringList& arguments, const std::function<int()>& firstRemovable,
                           const std::function<int()>& firstFixedFromD);

// Whether a backup run tidies up after the copy (time stamps, free-space
// marker, usage bitmap, and shows the parent of the backup root): when the
// backup root lies on a removable drive, or on drive C: (demo mode). The
// program's own drive does not count: the stages work on the backup's drive.
//   ("E:\_Backup_", 2) => true   ("F:\_Backup_", 3) => false
//   ("C:\Users\u\Temp\Quillon.tmp\_Backup_", 3) => true
bool RunsHousekeeping(const WideString& backupRoot, unsigned rootDriveType);

// The argument list with element 0 replaced by the program's full path
// when it is not an absolute drive or network path (a start by a bare or
// relative name, such as "brisk" typed in a console).
//   ({"brisk"}, "E:\brisk.exe") => {"E:\brisk.exe"}
StringList WithFullProgramPath(StringList arguments, const WideString& modulePath);

// The argument list with its first argument in canonical form (made
// absolute against the current folder, backslashes, the drive letter in
// capitals), so that the backup root and the demo-mode decision see the
// drive it names; an empty first argument (a shortcut's unset variable)
// counts as no argument at all. A relative argument with no canonical form
// is joined to the current folder; an absolute one stays as it is.
//   ({"E:\brisk.exe", "data"}, "F:\work") => {"E:\brisk.exe", "F:\work\data"}
//   ({"E:\brisk.exe", "c:/data"}, "F:\work") => {"E:\brisk.exe", "C:\data"}
//   ({"E:\brisk.exe", ""}, "F:\work") => {"E:\brisk.exe"}
StringList WithCanonicalFirstArgument(StringList arguments, const WideString& currentFolder);

// Runs once per process after the banner; returns the exit status: 0 when
// the backup is complete (or the program was copied onto a drive), 1 when
// the backup ran but is incomplete or folders were not backed up, 2 when
// no backup could be made (or the program could not be copied).
int RunMain();

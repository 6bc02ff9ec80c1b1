// The drive letters the program may move itself to, and the relocation of
// the program file onto removable media.
#pragma once

#include <array>
#include <functional>

#include "config/drive_types.h"
#include "text/wide_string.h"

// What the system says of one drive letter.
struct DriveAnswer {
    unsigned type = 1;        // as GetDriveTypeW: 2 removable, 3 fixed, 1 no drive
    bool hasMedium = false;   // a volume query on its root succeeds
};
// Index i stands for the letter 'A' + i.
using DriveTable = std::array<DriveAnswer, 26>;

// The first drive, A: to Z:, that is removable and holds a medium (an empty
// card-reader slot does not count); -1 when there is none.
int FirstRemovableDriveIn(const DriveTable& drives);
// The first drive, D: to Z:, that is fixed and holds a medium; -1 when none.
int FirstFixedDriveFromDIn(const DriveTable& drives);

// The system's answers for every letter; the medium is asked only of
// removable and fixed drives.
DriveTable SystemDrives();
int FirstRemovableDrive();
int FirstFixedDriveFromD();

// The folder the housekeeping files of a portable run go to: the program's
// drive (E:\) when it is removable, else the first removable drive (F:/),
// else the work folder with a trailing backslash.
WideString PortableBaseFolder(const WideString& programPath);

// Copies the program file onto the first removable drive and shows that
// drive in Explorer; false when it did so. True, with nothing copied, when
// the program already runs from removable media; true after printing
// "demo mode." and an empty line when no removable drive can be used. A
// failed copy writes "Can't copy <program> to <target>" to the error stream
// and sets *copyFailed; the drive is shown all the same.
bool RelocateToRemovable(const WideString& programPath, bool* copyFailed);

// Copies the program file onto the root of the fixed drive with the index
// (as "E:/" + its file name, replacing an older copy) and shows "E:/" in
// Explorer. False when the copy failed ("Can't copy <program> to <target>"
// on the error stream); the drive is shown all the same.
bool CopyToFixedDrive(const WideString& programPath, int driveIndex);

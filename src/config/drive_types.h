// The type of each drive letter, asked of the system once per process: a
// letter's type does not change during a run, and each query is a round
// trip to the system's mount manager.
#pragma once

#include "text/wide_string.h"

// As GetDriveTypeW of the letter's root: 2 removable, 3 fixed, 4 remote,
// 5 CD-ROM; 1 for anything that is not a drive letter or names no drive.
unsigned DriveTypeOfLetter(wchar_t letter);
// The type of the drive of a path ("E:", "E:\x"); 1 when it names none.
unsigned DriveTypeOfPath(const WideString& path);

// Whether the drive ("E:") holds a medium: a free-space query on its root
// succeeds (an empty card-reader slot fails it, without an error box).
bool DriveHasMedium(const WideString& drive);

// The program's work folders below the temporary folder.
#pragma once

#include "text/wide_string.h"

// The temporary folder + "Quillon.tmp" + sub, created (a failure is
// reported by the creation, the path is returned all the same). With an
// empty sub: the work folder with a trailing backslash.
WideString WorkFolder(const WideString& sub);

// The folder name for a program: the stem of its recorded name when that
// differs from the file name on disk, else the stem of the file name; the
// date text when neither is known.
//   ("brisk.exe", "renamed.exe", "20261207") => "brisk"
//   ("", "", "20261207") => "20261207"
WideString ProgramFolderName(const WideString& recordedName, const WideString& fileName,
                             const WideString& dateText);

// The temporary folder + "Quillon.tmp" + the program's folder name + '\'.
// Nothing is created.
WideString ProgramWorkFolderPath();

// Where the generated scripts may go, in the order to try them: the program
// work folder, then the public documents folder + Temp\Temp\Quillon.tmp\ +
// the program's stem. Each ends in a backslash; nothing is created.
StringList ScriptFolderChoices();

// The first of the script folder choices that exists or can be created
// (then it is created); empty when none can.
WideString ScriptFolder();

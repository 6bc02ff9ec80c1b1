// The program's work folders below the temporary folder.
#pragma once

#include "config/folder_owner.h"
#include "text/wide_string.h"

// The temporary folder + "Quillon.tmp" + sub, created (a failure is
// reported by the creation, the path is returned all the same), when this
// user owns "Quillon.tmp" there; else the same below this user's local
// application data folder (another user who made it first in a shared
// temporary folder could have put a link there). The trace log and the
// demo backup live below it.
WideString WorkFolder(const WideString& sub);

// The folder WorkFolder puts its subfolders in, from whose the one in the
// temporary folder is:
//   ("C:\Temp\Quillon.tmp", Other, "C:\Users\u\AppData\Local") => "C:\Users\u\AppData\Local\Quillon.tmp"
//   ("C:\Temp\Quillon.tmp", ThisUser, ...) => "C:\Temp\Quillon.tmp"
WideString WorkFolderBaseFor(const WideString& tempBase, FolderOwnership tempOwnership,
                             const WideString& localAppData);

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
// work folder, then this user's local application data folder +
// Quillon.tmp\ + the program's stem. A folder that other users of the
// computer can write to is never one (the work folder is left out when it
// lies in the public documents folder): the command interpreter looks for
// the programs a script calls in the script's own folder first. Each ends
// in a backslash; nothing is created.
//   ("C:\Users\u\Temp\Quillon.tmp\brisk\", "C:\Users\u\AppData\Local",
//    "C:\Users\Public\Documents", "brisk")
//       => {"C:\Users\u\Temp\Quillon.tmp\brisk\", "C:\Users\u\AppData\Local\Quillon.tmp\brisk\"}
StringList ScriptFolderChoicesFor(const WideString& workFolder, const WideString& localAppData,
                                  const WideString& publicDocuments, const WideString& stem);
StringList ScriptFolderChoices();

// The first of the script folder choices that exists or can be created
// (then it is created); empty when none can.
WideString ScriptFolder();

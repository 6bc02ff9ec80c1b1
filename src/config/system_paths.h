// Paths the system knows: long names, environment, current and temporary
// folders.
#pragma once

#include <functional>

#include "text/wide_string.h"

// The long-name form of a path (at most 260 characters); the path unchanged
// when the system cannot give one.
WideString LongPathOf(const WideString& path);

// An environment variable's value (name in any letter case), empty when unset.
WideString EnvironmentText(const WideString& name);

WideString CurrentFolder();

// A temporary folder inside the system's Windows folder (compared by whole
// path components, any letter case) is not used: it is shared by every
// user, so this user's local application data folder + "\Temp" is used
// instead. Any other folder is kept, also one that merely has "Windows" in
// a name.
//   ("C:\WINDOWS\Temp\", "C:\Windows", "C:\Users\u\AppData\Local")
//       => "C:\Users\u\AppData\Local\Temp"
//   ("C:\Users\WindowsFan\Temp\", "C:\Windows", ...) => unchanged
WideString AvoidWindowsFolder(const WideString& temp, const WideString& windowsFolder,
                              const WideString& localAppData);

// The system's Windows folder, or empty.
WideString WindowsFolder();

// Where temporary files go when the system gives no temporary path: the
// first of the variables TMP, TMPDIR, TEMP that is set, as it is; otherwise
// a folder named after the user (USER, USERNAME, else "___") below "/tmp/"
// when that exists, else below the current folder (this one is created).
WideString FallbackTempFolder(const std::function<WideString(const wchar_t*)>& environment,
                              bool slashTmpExists, const WideString& currentFolder,
                              bool* needsCreating);

// The folder in which the work folder is made (normally ending in '\'),
// worked out again only when the system's temporary path changes.
WideString TempFolder();
// The folder for the system's temporary path (see TempFolder).
WideString TempFolderFor(const WideString& systemAnswer);

// Starting a job's script.
#pragma once

#include "common/windows_headers.h"
#include "text/wide_string.h"

// The command line that runs a batch file through the interpreter and ends,
// without the AutoRun commands of the registry (/d) and with delayed
// expansion off (/v:off), whatever the registry says:
//   ("C:\windows\system32\cmd.exe", "C:\a b\x.bat")
//       => "\"C:\windows\system32\cmd.exe\" /d /v:off /c \"\"C:\a b\x.bat\"\""
// The outer quotes are the ones the interpreter strips, so the path keeps
// its own even when it holds blanks or characters such as '&'.
WideString InterpreterCommandLine(const WideString& interpreter, const WideString& script);

// The interpreter to run scripts with: COMSPEC when it is a full path to a
// cmd.exe, else cmd.exe in the system folder. A bare "cmd.exe" would be
// looked for in the program's own folder (on the stick) first.
//   ("D:\tools\cmd.exe", "C:\Windows\system32") => "D:\tools\cmd.exe"
//   ("cmd.exe", "C:\Windows\system32") => "C:\Windows\system32\cmd.exe"
//   ("C:\x\notepad.exe", "C:\Windows\system32") => "C:\Windows\system32\cmd.exe"
WideString InterpreterFor(const WideString& comspec, const WideString& systemFolder);

// Starts the batch file through the interpreter (see InterpreterFor) in this
// console; the process handle, or null (said) when it could not be started.
HANDLE StartScript(const WideString& script);

// Writes the script, in the code page the interpreter reads it in, as a new
// file under the first free numbered form of the file name in the folder;
// the file's handle, open without write sharing, and its path; or
// INVALID_HANDLE_VALUE (said) when it could not be written.
HANDLE CreateScriptFile(const WideString& folder, const WideString& fileName, const WideString& text,
                        WideString* script);

// The first script folder that can be made and written (see
// ScriptFolderChoices), with a trailing separator; empty with the last
// folder's problem when none can.
WideString UsableScriptFolder(WideString* problem);

// The file name with a number before its extension, from 2 on:
//   ("RC_x.bat", 1) => "RC_x.bat"   ("RC_x.bat", 2) => "RC_x-2.bat"
WideString NumberedFileName(const WideString& fileName, unsigned number);



// Starting a job's script.
#pragma once

#include "text/wide_string.h"

class BackupJob;

// The job's script text, or, when it has none, the single-job script of a
// copy that is restricted when its source or destination is empty (then the
// work folder stands in): "_Backup_" and "*.tmp" folders excluded, files up
// to 1 MiB.
WideString ScriptTextToRun(const BackupJob& job);

// The command line that runs a batch file through the interpreter and ends:
//   ("C:\windows\system32\cmd.exe", "C:\a b\x.bat")
//       => "\"C:\windows\system32\cmd.exe\" /c \"\"C:\a b\x.bat\"\""
// The outer quotes are the ones the interpreter strips, so the path keeps
// its own even when it holds blanks or characters such as '&'.
WideString InterpreterCommandLine(const WideString& interpreter, const WideString& script);

// Writes the script text under the file name into the first script folder
// that can be made and written (see ScriptFolderChoices); the script's full
// path, or empty when no folder took it.
WideString WriteScriptFile(const WideString& fileName, const WideString& text);

// Runs the batch file through COMSPEC when it names cmd.exe (else, or when
// it cannot be started, the system folder's cmd.exe) in this console and
// waits for it to end. False when neither could be started.
bool RunScriptAndWait(const WideString& script);

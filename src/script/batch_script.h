// The batch scripts that run robocopy, and their file names.
#pragma once

#include <cstdint>
#include <vector>

#include "text/wide_string.h"

#include "plan/backup_plan.h"
#include "script/command_line.h"
#include "script/copy_settings.h"


// The script of a run copied folder by folder, under the direction of the
// program through the named pipe (see job/script_session.h): the same
// header (the tool's name, an echo line per folder: its source, or for a
// refused one "Can't back up <folder> - <reason>"; the destination; the
// list-only note when the copy only lists), "@echo on",
// the change to the script's own folder, then for each folder that is not
// refused, in order:
//   timeout /t 10                              (the pause before it)
//   :brisk_back_<n-1>                          (from the second folder on: the check of the one before,
//   @set brisk_go= / @set /p brisk_go=<"<pipe>"  which read its copies during the pause)
//   @if not "%brisk_go%"=="again" goto brisk_go_<n>
//   @set brisk_file= / @set /p brisk_file=<"<pipe>"
//   robocopy %brisk_file% /r:n /w:n
//   @goto brisk_back_<n-1>
//   :brisk_go_<n>
//   @if not "%brisk_go%"=="next" goto :eof
//   @set brisk_go= / @set /p brisk_go=<"<pipe>"
//   @if not "%brisk_go%"=="copy" goto brisk_after_<n>
//   @set brisk_xd= / @set /p brisk_xd=<"<pipe>"
//   <its copy command> %brisk_xd%
//   @>brisk_copy_rc.txt echo %errorlevel%      (the copy's exit code, in the script's own folder)
//   @set brisk_go= / @set /p brisk_go=<"<pipe>"  (the copy has ended)
//   :brisk_after_<n>
//   @if not "%brisk_go%"=="on" if not "%brisk_go%"=="skip" goto :eof
// then the final pause and the last folder's check (:brisk_back_<last>,
// ending at :brisk_end). A script that reads no answer stops before
// copying; each "again" copies the one file named in the next line once
// more, alone (no mirror, no purge), and asks again.
WideString FolderByFolderScript(const CopySettings& job, const std::vector<PlannedFolder>& folders,
                                const WideString& scriptFolder, const WideString& pipeName);

// The file, in the script's own folder, that each copy's exit code is
// written to, read by the program once the copy has ended.
extern const wchar_t kCopyExitCodeFile[];

// The command that copies one file again: the copy tool with the
// arguments the program gives (source folder, backup folder, name) and the
// job's retries, "robocopy %brisk_file% /r:3 /w:5".
WideString CopyAgainCommand(const CopySettings& job);

// The line that changes to a folder: cd /d "<folder>", '%' doubled.
WideString ChangeToFolderLine(const WideString& folder);

// "RC_" + source (shortened to 50) + "_" + destination (shortened to 30) +
// "_" + "s", "mir", "fft", "l" for the options that are on + ".bat".
//   C:\Data\Work, E:\_Backup_, /s /mir /fft => "RC_C__Data_Work_E___Backup__smirfft.bat"
WideString ScriptFileNameFor(const CopySettings& job);

// The path unchanged when it has at most limit characters; else the root
// and first folder, "\...\" and as many last components as fit; else the
// last component alone (even when longer). A trailing separator is kept.
//   ("C:\Users\someone\Documents\Projects\2024\Customer files\Archive", 30)
//       => "C:\Users\...\Archive"
WideString ShortenPath(const WideString& path, uint32_t limit);

// The text with characters unfit for file names replaced (same length):
// TAB LF CR " , ; | => "."; blank / : ? \ => "_"; # % => "-"; * => "x";
// < => "("; > => ")".
WideString SafeFileNameText(const WideString& text);

// The elements joined by CR LF, with CR LF after the last one too.
WideString JoinLines(const StringList& lines);

// The batch scripts that run robocopy, and their file names.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "text/wide_string.h"

#include "plan/backup_plan.h"
#include "script/command_line.h"
#include "script/copy_settings.h"

// The list-only note shown in scripts that only list.
extern const wchar_t kListOnlyHelp[];

// The script that copies the folders of a plan:
//   @echo off / (empty) / echo<TAB>robocopy / echo. / echo<TAB><TAB><TAB>folder...
//   / echo. / echo<TAB><TAB><TAB>destination / [list-only note] / (empty) /
//   @echo on / (empty) / cd /d "%Temp%" / "timeout /t 10  &<TAB>" + command
//   line per folder / timeout /t 100 (long final pause) or timeout /t 10
// Every mirrored folder gets an echo line and its command; a refused one an
// echo line saying why ("Can't back up <folder> - <reason>"); a folder whose
// backup is kept gets neither. Paths are escaped for cmd.exe. The job's
// source is left at the last folder that got a command line.
WideString FolderListScript(CopySettings& job, const std::vector<PlannedFolder>& folders);

// The script of a run copied folder by folder, under the direction of the
// program through the named pipe (see job/script_session.h): the same
// header as FolderListScript (the folders, the destination), "@echo on",
// the change to the script's own folder, then for each folder that is not
// refused, in order:
//   timeout /t 10
//   @set brisk_go= / @set /p brisk_go=<"<pipe>"
//   @if not "%brisk_go%"=="copy" goto brisk_after_<n>
//   @set brisk_xd= / @set /p brisk_xd=<"<pipe>"
//   <its copy command> %brisk_xd%
//   @set brisk_go= / @set /p brisk_go=<"<pipe>"
//   :brisk_after_<n>
//   @if not "%brisk_go%"=="next" if not "%brisk_go%"=="skip" goto :eof
// and the final pause. A script that reads no answer stops before copying.
WideString FolderByFolderScript(const CopySettings& job, const std::vector<PlannedFolder>& folders,
                                const WideString& scriptFolder, const WideString& pipeName);

// The line that changes to a folder: cd /d "<folder>", '%' doubled.
WideString ChangeToFolderLine(const WideString& folder);

// The same for a folder list: every usable folder (not empty, a directory by
// isDirectory, first occurrence only) is planned as a mirror or refused (see
// ResolveBackupFolders); refusals also go to the error stream.
WideString FolderListScript(CopySettings& job, const CommandLineContext& context,
                            const StringList& folders,
                            const std::function<bool(const WideString&)>& isDirectory);

// The script for the job's own source and destination (echo stays on):
//   rem<TAB>robocopy<TAB>source / rem<TAB><TAB><TAB>[note] / rem / cd /d "%Temp%" /
//   [timeout /t 10] / command line / timeout /t 100 or 10
// A command line code page 932 cannot carry is replaced by an echo line
// saying so (also written to the error stream).
WideString SingleScript(const CopySettings& job, const CommandLineContext& context);

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

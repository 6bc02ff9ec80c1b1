// The robocopy command line of a job.
#pragma once

#include <functional>

#include "text/wide_string.h"

#include "script/copy_settings.h"

// What the command line takes from the system, so that tests can give any
// answer.
struct CommandLineContext {
    // The work folder with a trailing backslash (used for an empty source or
    // destination).
    std::function<WideString()> workFolder;
    // The network form of a path on a mapped drive.
    std::function<WideString(const WideString&)> networkForm;
    std::function<WideString()> computerName;
    // The code page the script is written in (see ScriptCodePage).
    unsigned scriptCodePage = 932;
};

// The context of the running system: WorkFolder(""), NetworkDriveToUnc,
// ComputerName(), ScriptCodePage().
CommandLineContext SystemCommandLineContext();

// The text without enclosing pairs of matching quotes.
//   "\"C:\Data\"" => "C:\Data"   "\"'C:\Data'\"" => "C:\Data"   "\"\"" => ""
//   "''''''" => "''"   "\"C:\Data'" => unchanged
WideString StripQuotes(const WideString& text);

// Where a source is mirrored to. A destination whose last component is
// "_Backup_" (any letter case) gets a level for the computer (drive sources
// only) and then the source path, with its drive colon, slashes and percent
// signs turned into separators; any other destination is used as it is.
//   ("C:\Data\Work", "E:\_Backup_", "PC01") => "E:\_Backup_\PC01\C\Data\Work"
//   ("\\fs\share\Dept", "E:\_backup_", "PC01") => "E:\_backup_\fs\share\Dept"
//   (any, "E:\Copies", "PC01") => "E:\Copies"
WideString MirrorDestinationFor(const WideString& source, const WideString& destination,
                                const WideString& computerName);
WideString MirrorDestination(const WideString& source, const WideString& destination);

// The computer's name, or COMPUTERNAME, USERDOMAIN, HOSTNAME or NAME from the
// environment when the system gives none; may be empty. Asked once per
// process.
WideString ComputerName();
// The same, asked of the system and the environment now.
WideString SystemComputerName();

// A folder path as a quoted element of the command line. A bare drive
// designator becomes "X:\." so that it names the drive's root: "X:" alone
// would name the drive's current folder, and "X:\" before the closing quote
// would escape the quote.
//   "C:\Data" => "\"C:\Data\""   "D:" => "\"D:\.\""
WideString QuotedFolderElement(const WideString& folder);

// The source and destination folders of the job's copy command, as the
// command line names them (before quoting): empty ones replaced by the work
// folder, in network form, the destination mirrored, one trailing separator
// removed; and whether the destination lies inside the source.
struct CopyFolders {
    WideString source;
    WideString destination;
    // The destination before the source was mapped below it.
    WideString backupFolder;
    bool destinationInsideSource = false;
};
CopyFolders ResolveCopyFolders(const CopySettings& job, const CommandLineContext& context);

// The command line for the job with these folders.
WideString CommandLineFor(const CopySettings& job, const CopyFolders& folders);

// The command line with the folders left out of the copy as well: one
// more /xd list of their full paths, quoted.
//   ("robocopy \"C:\d\" ... /xd bak", {"C:\d\x", "E:\b\x"}) => "... /xd bak /xd \"C:\d\x\" \"E:\b\x\""
WideString WithFoldersLeftOut(const WideString& commandLine, const StringList& folders);

// "robocopy" "<source>" "<destination>" [file specs] /s /purge /mir /fft
// /r:n /w:n /xo /xx /xjd /maxage:n /minage:n /min:n /max:n /xf <files>
// /xd <dirs> <extra options> [/l] [/lev:3], each switch only when its option
// is on; /lev:3 when the destination lies inside the source.
WideString BuildCommandLine(const CopySettings& job, const CommandLineContext& context);

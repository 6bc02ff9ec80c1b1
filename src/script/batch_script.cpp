#include "script/batch_script.h"

#include <iostream>

#include "config/name_text.h"
#include "script/copy_settings.h"
#include "script/backup_confinement.h"
#include "script/backup_overlap.h"
#include "script/cmd_text.h"
#include "script/command_line.h"
#include "text/canonical_path.h"
#include "text/path_text.h"
#include "text/split_join.h"

const wchar_t kListOnlyHelp[] =
    L"Specifies that files are to be listed only (and not copied, deleted, or time stamped).";

namespace {

const wchar_t kFinalPauseLong[] = L"timeout /t 100";
const wchar_t kFinalPauseShort[] = L"timeout /t 10";
// Quoted: a temporary folder may hold blanks, '&' or other operators.
const wchar_t kChangeToTemp[] = L"cd /d \"%Temp%\"";

WideString FinalPause(const CopySettings& job) {
    return job.LongFinalPause() ? kFinalPauseLong : kFinalPauseShort;
}

struct FolderCommand {
    WideString folder;
    WideString commandLine;
    CopyFolders copy;
    // Why the folder cannot be backed up; empty when it can.
    WideString refusal;
};

WideString RefusalMessage(const WideString& folder, const WideString& reason) {
    return L"Can't back up " + folder + L" - " + reason;
}

const wchar_t kCannotCarry[] =
    L"the script's code page 932 cannot carry its path or its backup path";

WideString ClashReason(const WideString& backup, const WideString& other) {
    return L"its backup folder " + backup + L" would overlap the backup of " + other;
}

bool MapsBelowBackupFolder(const WideString& backupFolder) {
    return EqualNoCase(FileNamePart(backupFolder), L"_Backup_");
}

// The command for one folder, or the reason it gets none. The source and
// the destination are used in their canonical form, so that no spelling
// lets a mirror reach outside its own place.
FolderCommand AssessFolder(CopySettings& job, const CommandLineContext& context,
                           const WideString& folder, const FolderScriptChoices& choices,
                           BackupFolderRegister* backups) {
    FolderCommand command;
    command.folder = folder;
    const CanonicalPath source = CanonicalPathOf(folder, WideString());
    if (!source.problem.empty()) {
        command.refusal = (source.problem);
        return command;
    }
    job.SetSource(source.path);
    CopyFolders copy = ResolveCopyFolders(job, context);
    const CanonicalPath backupFolder = CanonicalPathOf(copy.backupFolder, WideString());
    if (!backupFolder.problem.empty()) {
        command.refusal =
            (L"the backup folder " + copy.backupFolder + L": " + backupFolder.problem);
        return command;
    }
    const CanonicalPath destination = CanonicalPathOf(copy.destination, WideString());
    if (!destination.problem.empty()) {
        command.refusal = (L"its backup folder " + copy.destination + L": " +
                                                     destination.problem);
        return command;
    }
    copy.destination = StripTrailingSeparator(destination.path);
    if (MapsBelowBackupFolder(backupFolder.path)) {
        // The source as the copy names it (network form), canonical again.
        const WideString mapped = CanonicalPathOf(AppendSeparator(copy.source, L'\\'), WideString()).path;
        const WideString problem = ConfinementProblem(mapped, copy.destination,
                                                      backupFolder.path, context.computerName());
        if (!problem.empty()) {
            command.refusal = (problem);
            return command;
        }
    }
    command.folder = source.path;
    command.copy = copy;
    command.commandLine = CommandLineFor(job, copy);
    if (choices.keepBackup && choices.keepBackup(source.path)) {
        CopySettings keeping(job);
        keeping.SetMirror(false);
        keeping.SetPurge(false);
        command.commandLine = CommandLineFor(keeping, copy);
    }
    if (!FitsCodePage932(command.commandLine)) {
        command.refusal = (kCannotCarry);
        return command;
    }
    const WideString other = backups->Accept(copy);
    if (!other.empty()) command.refusal = (ClashReason(copy.destination, other));
    return command;
}

}  // namespace

WideString FolderListScript(CopySettings& job, const CommandLineContext& context,
                            const StringList& folders,
                            const std::function<bool(const WideString&)>& isDirectory) {
    FolderScriptChoices choices;
    choices.isDirectory = isDirectory;
    return FolderListScript(job, context, folders, choices);
}

WideString FolderListScript(CopySettings& job, const CommandLineContext& context,
                            const StringList& folders, const FolderScriptChoices& choices) {
    const WideString originalSource = job.Source();
    BackupFolderRegister backups;
    std::vector<FolderCommand> commands;
    for (const WideString& folder : RemoveDuplicateTexts(folders)) {
        if (folder.empty() || !choices.isDirectory(folder)) continue;
        commands.push_back(AssessFolder(job, context, folder, choices, &backups));
        if (choices.report == nullptr) continue;
        const FolderCommand& command = commands.back();
        if (command.refusal.empty()) {
            choices.report->accepted.push_back({command.folder, command.copy.destination});
        } else {
            choices.report->refused.push_back({folder, command.refusal});
        }
    }

    WideString header = L"@echo off";
    header += L"\r\n";
    header += L"\r\necho\t" + job.ToolName();
    header += L"\r\necho.";
    for (const FolderCommand& command : commands) {
        if (command.refusal.empty()) {
            header += L"\r\necho\t\t\t" + EscapeForEcho(command.folder);
        } else {
            const WideString message = RefusalMessage(command.folder, command.refusal);
            std::wcerr << message << std::endl;
            header += L"\r\necho\t\t\t" + EscapeForEcho(message);
        }
    }
    header += L"\r\necho.";
    header += L"\r\necho\t\t\t" + EscapeForEcho(job.Destination());
    if (job.Options().listOnly) {
        header += L"\r\necho.";
        header += L"\r\necho\t\t" + WideString(kListOnlyHelp);
        header += L"\r\necho.";
    }
    header += L"\r\n";
    header += L"\r\n@echo on";
    header += L"\r\n";

    StringList lines = {header, kChangeToTemp};
    job.SetSource(originalSource);
    for (const FolderCommand& command : commands) {
        if (!command.refusal.empty()) continue;
        job.SetSource(command.folder);
        lines.push_back(L"timeout /t 10  &\t" + DoublePercents(command.commandLine));
    }
    lines.push_back(FinalPause(job));
    return JoinLines(lines);
}

WideString SingleScript(const CopySettings& job, const CommandLineContext& context) {
    WideString header = L"rem\t" + job.ToolName() + L"\t" +
                        DoublePercents(ShortenPath(StripQuotes(job.Source()), 50));
    header += L"\r\nrem\t\t\t";
    if (job.Options().listOnly) header += kListOnlyHelp;
    header += L"\r\nrem";
    StringList lines = {header, kChangeToTemp};
    if (job.LongFinalPause()) lines.push_back(kFinalPauseShort);
    const WideString commandLine = BuildCommandLine(job, context);
    if (FitsCodePage932(commandLine)) {
        lines.push_back(DoublePercents(commandLine));
    } else {
        const WideString refusal = RefusalMessage(StripQuotes(job.Source()), kCannotCarry);
        std::wcerr << refusal << std::endl;
        lines.push_back(L"echo " + EscapeForEcho(refusal));
    }
    lines.push_back(FinalPause(job));
    return JoinLines(lines);
}

WideString ScriptFileNameFor(const CopySettings& job) {
    const CopyOptions& options = job.Options();
    WideString name = L"RC_";
    name += SafeFileNameText(ShortenPath(StripQuotes(job.Source()), 50));
    name += L"_" + SafeFileNameText(ShortenPath(StripQuotes(job.Destination()), 30)) + L"_";
    if (options.subdirectories) name += L"s";
    if (options.mirror) name += L"mir";
    if (options.fatTimes) name += L"fft";
    if (options.listOnly) name += L"l";
    return name + L".bat";
}

WideString ShortenPath(const WideString& path, uint32_t limit) {
    if (!path.empty() && IsSeparator(path.back())) {
        return AppendSeparator(ShortenPath(StripTrailingSeparator(path), limit - 1), L'\\');
    }
    const size_t length = path.size();
    const WideString name = FileNamePart(path);
    if (limit >= length) return path;
    if (limit < name.size()) return name;

    WideString head = DriveOrServerRoot(path);
    if (length - name.size() > 3) {
        size_t separator = path.find(L'\\', head.size() + 1);
        if (separator == kNoPosition) separator = path.find(L'/', head.size() + 1);
        if (separator != kNoPosition) head = path.substr(0, separator);
    }
    if (limit < head.size() + name.size() + 5) return name;

    WideString tail = head.size() + 1 <= length ? path.substr(head.size() + 1) : WideString();
    while (tail.size() + head.size() + 5 > limit) {
        size_t separator = tail.find(L'\\');
        if (separator == kNoPosition) separator = tail.find(L'/');
        if (separator == kNoPosition) break;
        tail = tail.substr(separator + 1);
    }
    return AppendSeparator(AppendSeparator(head, L'\\') + L"...", L'\\') + tail;
}

WideString SafeFileNameText(const WideString& text) {
    WideString safe = text;
    for (wchar_t& c : safe) {
        switch (c) {
            case L'\t': case L'\n': case L'\r': case L'"': case L',': case L';': case L'|':
                c = L'.';
                break;
            case L' ': case L'/': case L':': case L'?': case L'\\':
                c = L'_';
                break;
            case L'#': case L'%':
                c = L'-';
                break;
            case L'*': c = L'x'; break;
            case L'<': c = L'('; break;
            case L'>': c = L')'; break;
            default: break;
        }
    }
    return safe;
}

WideString JoinLines(const StringList& lines) { return JoinText(lines, L"\r\n") + L"\r\n"; }

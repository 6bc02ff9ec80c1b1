#include "script/batch_script.h"


#include "config/name_text.h"
#include "script/backup_folders.h"
#include "script/cmd_text.h"
#include "script/command_line.h"
#include "text/messages.h"
#include "text/number_text.h"
#include "text/path_text.h"
#include "text/split_join.h"

namespace {

const wchar_t kFinalPauseLong[] = L"timeout /t 100";
const wchar_t kFinalPauseShort[] = L"timeout /t 10";
const wchar_t kPauseBeforeFolder[] = L"timeout /t 10";

WideString FinalPause(const CopySettings& job) {
    return job.LongFinalPause() ? kFinalPauseLong : kFinalPauseShort;
}

WideString EchoLine(const PlannedFolder& folder) {
    if (folder.fate == FolderFate::Mirror) return L"\r\necho\t\t\t" + EscapeForEcho(folder.source);
    if (folder.fate != FolderFate::Refused) return WideString();
    return L"\r\necho\t\t\t" + EscapeForEcho(RefusalMessage(folder));
}

WideString ScriptHeader(const CopySettings& job, const std::vector<PlannedFolder>& folders) {
    WideString header = L"@echo off";
    header += L"\r\n";
    header += L"\r\necho\t" + job.ToolName();
    header += L"\r\necho.";
    for (const PlannedFolder& folder : folders) header += EchoLine(folder);
    header += L"\r\necho.";
    header += L"\r\necho\t\t\t" + EscapeForEcho(job.Destination());
    if (job.Options().listOnly) {
        header += L"\r\necho.";
        header += L"\r\necho\t\t" + Say(Message::ListOnlyHelp);
        header += L"\r\necho.";
    }
    header += L"\r\n";
    header += L"\r\n@echo on";
    header += L"\r\n";
    return header;
}

}  // namespace

const wchar_t kCopyExitCodeFile[] = L"brisk_copy_rc.txt";

WideString CopyAgainCommand(const CopySettings& job) {
    WideString command = job.ToolName() + L" %brisk_file%";
    if (job.Options().retryOption) command += L" /r:" + UnsignedToText(job.RetryCount(), 10);
    if (job.Options().waitOption) command += L" /w:" + UnsignedToText(job.WaitSeconds(), 10);
    return command;
}

WideString ChangeToFolderLine(const WideString& folder) {
    return L"cd /d \"" + DoublePercents(StripTrailingSeparator(folder)) + L"\"";
}

namespace {

// After a pause: the previous folder's check, which read its copies while
// the script paused, may have the script copy files of it again ("again",
// then the file) before it says "next".
void AddCheckOfPrevious(StringList* lines, const WideString& ask, const WideString& number,
                        const WideString& goOn, const CopySettings& job) {
    const WideString back = L"brisk_back_" + number;
    lines->insert(lines->end(), {L":" + back, L"@set brisk_go=", L"@set /p brisk_go=" + ask,
                                 L"@if not \"%brisk_go%\"==\"again\" goto " + goOn, L"@set brisk_file=",
                                 L"@set /p brisk_file=" + ask, CopyAgainCommand(job), L"@goto " + back});
}

}  // namespace

WideString FolderByFolderScript(const CopySettings& job, const std::vector<PlannedFolder>& folders,
                                const WideString& scriptFolder, const WideString& pipeName) {
    const WideString ask = L"<\"" + pipeName + L"\"";
    StringList lines = {ScriptHeader(job, folders), ChangeToFolderLine(scriptFolder)};
    size_t number = 0;
    for (const PlannedFolder& folder : folders) {
        if (folder.fate == FolderFate::Refused) continue;
        const WideString count = IntegerToText(++number, 10);
        const WideString start = L"brisk_go_" + count;
        const WideString after = L"brisk_after_" + count;
        lines.push_back(kPauseBeforeFolder);
        if (number > 1) {
            AddCheckOfPrevious(&lines, ask, IntegerToText(number - 1, 10), start, job);
            lines.insert(lines.end(), {L":" + start, L"@if not \"%brisk_go%\"==\"next\" goto :eof"});
        }
        lines.insert(lines.end(), {L"@set brisk_go=", L"@set /p brisk_go=" + ask,
                                   L"@if not \"%brisk_go%\"==\"copy\" goto " + after, L"@set brisk_xd=",
                                   L"@set /p brisk_xd=" + ask, DoublePercents(folder.commandLine) + L" %brisk_xd%",
                                   L"@>" + WideString(kCopyExitCodeFile) + L" echo %errorlevel%", L"@set brisk_go=",
                                   L"@set /p brisk_go=" + ask, L":" + after,
                                   L"@if not \"%brisk_go%\"==\"on\" if not \"%brisk_go%\"==\"skip\" goto :eof"});
    }
    lines.push_back(FinalPause(job));
    if (number > 0) {
        AddCheckOfPrevious(&lines, ask, IntegerToText(number, 10), L"brisk_end", job);
        lines.push_back(L":brisk_end");
    }
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

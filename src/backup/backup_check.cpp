#include "backup/backup_check.h"

#include "plan/backup_plan.h"
#include "text/number_text.h"
#include "text/path_text.h"
#include "text/messages.h"

namespace {

WideString Folders(uint64_t n) { return SayCount(n, Message::FolderOne, Message::FolderMany); }

WideString Files(uint64_t n) { return SayCount(n, Message::FileOne, Message::FileMany); }

// "; 12.3 MB copied, 2 earlier versions kept, in 41 s; 9.8 GB free on E:"
WideString FiguresText(const RunFigures& figures) {
    return Say(Message::RunFigures,
               {CopiedSizeText(figures.bytesCopied),
                SayCount(figures.versionsKept, Message::EarlierVersionOne, Message::EarlierVersionMany),
                GroupedText(figures.seconds), SizeText(figures.freeBytes), figures.drive});
}

}  // namespace

bool VerifiedComplete(const TreeComparison& after) {
    return after.Read() && after.unreadable.empty() && after.MissingOrOlder() == 0;
}

bool CopyLeftBackupAsPlanned(const TreeComparison& before, bool allReadBeforeCopy, size_t keptAside,
                             const int* copyExitCode) {
    return copyExitCode != nullptr && *copyExitCode == 0 && allReadBeforeCopy && keptAside == 0 && before.Read() &&
           before.MissingOrOlder() == 0 && before.overwritten.empty() && before.deleted.empty() &&
           before.unreadable.empty();
}

WideString VerificationLine(const WideString& folder, const TreeComparison& after, bool complete) {
    if (!after.Read()) {
        const WideString& problem = after.sourceProblem.empty() ? after.backupProblem : after.sourceProblem;
        return Say(Message::FolderUnreadable, {folder, problem});
    }
    const WideString files = IntegerToText(after.files, 10);
    if (VerifiedComplete(after) && complete) return Say(Message::FolderOk, {folder, files});
    WideString line = Say(Message::FolderIncomplete, {folder, files});
    if (!after.unreadable.empty()) line += Say(Message::SubfoldersUnreadable, {Folders(after.unreadable.size())});
    if (after.MissingOrOlder() == 0) return line;
    return line + Say(Message::MissingOrOlderFirst, {IntegerToText(after.MissingOrOlder(), 10), after.firstMissing});
}

StringList VerificationLines(const WideString& folder, const TreeComparison& after, bool complete) {
    StringList lines = {VerificationLine(folder, after, complete)};
    for (const TreeComparison::Unreadable& sub : after.unreadable) {
        lines.push_back(L"    " + JoinPath(folder, sub.relative) + L"  (" + sub.problem + L")");
    }
    return lines;
}

WideString VerdictLine(const BackupTally& tally, const RunFigures& figures) {
    if (tally.Complete()) {
        return Say(Message::BackupComplete, {Folders(tally.folders), Files(tally.files), FiguresText(figures)});
    }
    StringList parts;
    if (tally.incompleteFolders != 0) {
        WideString part = Say(Message::FoldersIncomplete,
                              {IntegerToText(tally.incompleteFolders, 10), Folders(tally.folders)});
        if (tally.missingFiles != 0) part += Say(Message::FilesMissingOrOlder, {Files(tally.missingFiles)});
        parts.push_back(part);
    }
    if (tally.notBackedUp != 0) parts.push_back(Say(Message::FoldersNotBackedUp, {Folders(tally.notBackedUp)}));
    if (tally.damagedFiles != 0) {
        parts.push_back(SayCount(tally.damagedFiles, Message::DamagedFileOne, Message::DamagedFileMany));
    }
    if (!tally.folderListWritten) parts.push_back(Say(Message::FolderListNotWritten));
    if (!tally.checksumListWritten) parts.push_back(Say(Message::ChecksumListNotWritten));
    if (!tally.runRecordWritten) parts.push_back(Say(Message::RunRecordNotWritten));
    if (!tally.stickKeepsWrites) parts.push_back(Say(Message::StickDoesNotKeep));
    WideString joined = parts.empty() ? WideString() : parts.front();
    for (size_t i = 1; i < parts.size(); ++i) joined += Say(Message::PartSeparator) + parts[i];
    return Say(Message::BackupIncomplete, {joined, FiguresText(figures)});
}

WideString ShortfallLine(uint64_t missingBytes, const WideString& drive) {
    return Say(Message::Shortfall, {SizeText(missingBytes), drive});
}

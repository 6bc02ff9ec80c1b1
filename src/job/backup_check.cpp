#include "job/backup_check.h"

#include "plan/backup_plan.h"
#include "text/number_text.h"
#include "text/path_text.h"

namespace {

WideString Count(uint64_t n, const wchar_t* one, const wchar_t* many) {
    return GroupedText(n) + L" " + (n == 1 ? one : many);
}

// "; 12.3 MB copied, 2 earlier versions kept, in 41 s; 9.8 GB free on E:"
WideString FiguresText(const RunFigures& figures) {
    return L"; " + SizeText(figures.bytesCopied) + L" copied, " +
           Count(figures.versionsKept, L"earlier version", L"earlier versions") + L" kept, in " +
           GroupedText(figures.seconds) + L" s; " + SizeText(figures.freeBytes) + L" free on " + figures.drive;
}

}  // namespace

bool VerifiedComplete(const TreeComparison& after) {
    return after.Read() && after.unreadable.empty() && after.MissingOrOlder() == 0;
}

WideString VerificationLine(const WideString& folder, const TreeComparison& after) {
    if (!after.Read()) {
        const WideString& problem = after.sourceProblem.empty() ? after.backupProblem : after.sourceProblem;
        return L"INCOMPLETE  " + folder + L"  (" + problem + L")";
    }
    const WideString files = IntegerToText(after.files, 10) + L" files";
    if (VerifiedComplete(after)) return L"OK  " + folder + L"  " + files;
    WideString line = L"INCOMPLETE  " + folder + L"  " + files;
    if (!after.unreadable.empty()) {
        line += L", " + Count(after.unreadable.size(), L"folder", L"folders") + L" could not be read";
    }
    if (after.MissingOrOlder() == 0) return line;
    return line + L", " + IntegerToText(after.MissingOrOlder(), 10) + L" missing or older, first: " +
           after.firstMissing;
}

StringList VerificationLines(const WideString& folder, const TreeComparison& after) {
    StringList lines = {VerificationLine(folder, after)};
    for (const TreeComparison::Unreadable& sub : after.unreadable) {
        lines.push_back(L"    " + JoinPath(folder, sub.relative) + L"  (" + sub.problem + L")");
    }
    return lines;
}

WideString VerdictLine(const BackupTally& tally, const RunFigures& figures) {
    if (tally.Complete()) {
        return L"Backup complete: " + Count(tally.folders, L"folder", L"folders") + L", " +
               Count(tally.files, L"file", L"files") + FiguresText(figures);
    }
    StringList parts;
    if (tally.incompleteFolders != 0) {
        WideString part = IntegerToText(tally.incompleteFolders, 10) + L" of " +
                          Count(tally.folders, L"folder", L"folders") + L" incomplete";
        if (tally.missingFiles != 0) {
            part += L" (" + Count(tally.missingFiles, L"file", L"files") + L" missing or older)";
        }
        parts.push_back(part);
    }
    if (tally.notBackedUp != 0) parts.push_back(Count(tally.notBackedUp, L"folder", L"folders") + L" not backed up");
    if (tally.damagedFiles != 0) parts.push_back(Count(tally.damagedFiles, L"damaged file", L"damaged files"));
    if (!tally.folderListWritten) parts.push_back(L"the folder list was not written");
    if (!tally.checksumListWritten) parts.push_back(L"the checksum list was not written");
    WideString line = L"Backup INCOMPLETE: ";
    for (size_t i = 0; i < parts.size(); ++i) line += (i == 0 ? L"" : L", ") + parts[i];
    return line + FiguresText(figures);
}

WideString ShortfallLine(uint64_t missingBytes, const WideString& drive) {
    return L"The backup needs " + SizeText(missingBytes) + L" more than " + drive +
           L" has free; nothing was copied";
}

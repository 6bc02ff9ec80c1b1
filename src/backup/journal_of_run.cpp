#include "backup/journal_of_run.h"

#include "common/windows_headers.h"
#include "config/directory_ops.h"
#include "text/messages.h"
#include "text/path_text.h"
#include "walk/tree_walk.h"
#include "text/system_error.h"

void ForgetWhatUnfinishedRunsChanged(const WideString& versionsFolder, ChecksumBook* book) {
    if (versionsFolder.empty()) return;
    StringList newer;
    VisitFolder(versionsFolder, [&](const WIN32_FIND_DATAW& entry) {
        RunJournal head;
        const WideString path = JoinPath(versionsFolder, entry.cFileName);
        if (!SetNameOfRunJournal(entry.cFileName).empty() && ReadRunJournalHead(path, &head) &&
            head.run > book->RecordedRun()) {
            newer.push_back(path);
        }
    });
    for (const WideString& path : newer) {
        RunJournal journal;
        if (!ReadRunJournalFile(path, &journal)) continue;
        for (const KeptEntry& kept : journal.kept) {
            if (!kept.network) book->Remove(kept.path);
        }
        for (const auto* paths : {&journal.added, &journal.lost}) {
            for (const WideString& changed : *paths) book->Remove(changed);
        }
    }
}

WideString JournalOfRun::BeginFolder(const WideString& place, const std::vector<KeptEntry>& kept,
                                     const std::string& addLines) {
    std::string entries = JournalFolderLine(place);
    for (const KeptEntry& entry : kept) entries += JournalKeptLine(entry);
    return Write(entries + addLines + JournalStartLine(place));
}

void JournalOfRun::EndFolder(const WideString& place, bool begun, const std::string& sumLines,
                             const StringList& back, const StringList& lost, const StringList& late) {
    if (!begun && lost.empty() && late.empty()) return;
    std::string entries = begun ? sumLines : JournalFolderLine(place) + JournalStartLine(place);
    for (const WideString& path : back) {
        if (!path.empty()) entries += JournalPathLine("back", path);
    }
    for (const WideString& path : lost) entries += JournalPathLine("lost", path);
    for (const WideString& path : late) entries += JournalPathLine("add", path);
    Write(entries + JournalDoneLine(place));
}

WideString JournalOfRun::Write(const std::string& lines) {
    if (!failure_.empty()) return failure_;
    if (versionsFolder_.empty()) return failure_ = Say(Message::CantKeepVersionsName);
    WideString problem;
    if (!writer_.Created()) {
        const WideString setFolder = versions_.Folder();
        path_ = RunJournalOf(setFolder);
        uint64_t highest = 0;
        if (!MakeFolderTree(versionsFolder_)) {
            problem = SystemReason(GetLastError());
        } else if (HighestRecordedRun(versionsFolder_, &highest, &problem)) {
            run_ = highest + 1;
            problem = writer_.Create(path_, run_, started_, FileNamePart(setFolder));
        }
    }
    if (problem.empty()) problem = writer_.Append(lines);
    if (!problem.empty()) failure_ = problem;
    return problem;
}

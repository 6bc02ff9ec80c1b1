#include "backup/journal_of_run.h"

#include "common/windows_headers.h"
#include "config/directory_ops.h"
#include "text/messages.h"
#include "text/path_text.h"
#include "text/system_error.h"

WideString JournalOfRun::Write(const std::string& lines) {
    if (!failure_.empty()) return failure_;
    if (versionsFolder_.empty()) return failure_ = Say(Message::CantKeepVersionsName);
    WideString problem;
    if (!writer_.Created()) {
        const WideString setFolder = versions_.Folder();
        path_ = RunJournalOf(setFolder);
        run_ = HighestRecordedRun(versionsFolder_) + 1;
        problem = MakeFolderTree(versionsFolder_) ? writer_.Create(path_, run_, started_, FileNamePart(setFolder))
                                                 : SystemReason(GetLastError());
    }
    if (problem.empty()) problem = writer_.Append(lines);
    if (!problem.empty()) failure_ = problem;
    return problem;
}

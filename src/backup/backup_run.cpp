#include "backup/backup_run.h"

#include <algorithm>
#include <ctime>

#include "backup/backup_check.h"
#include "backup/folder_lines.h"
#include "backup/folder_transaction.h"
#include "backup/journal_of_run.h"
#include "housekeeping/run_history.h"
#include "records/run_journal.h"
#include "text/time_text.h"
#include "check/copies_check.h"
#include "check/rolling_check.h"
#include "config/directory_ops.h"
#include "config/folder_reasons.h"
#include "job/backup_job.h"
#include "job/backup_setup.h"
#include "job/job_run.h"
#include "job/script_session.h"
#include "plan/versions.h"
#include "script/backup_folders.h"
#include "script/batch_script.h"
#include "script/command_line.h"
#include "script/text_files.h"
#include "stick/backup_places.h"
#include "stick/drive_room.h"
#include "stick/run_lock.h"
#include "text/console_output.h"
#include "trace/trace_log.h"
#include "text/messages.h"
#include "verify/backup_lists.h"
#include "versions/version_keeping.h"

namespace {

void SayLines(const StringList& lines) {
    for (const WideString& line : lines) ReportLine(line);
}

// Closes the run's record with its result; false (said) when the record,
// or an earlier entry of it, is not on the stick whole.
bool CloseJournal(JournalOfRun& journal, BackupOutcome outcome) {
    if (!journal.Made() && journal.Failure().empty()) return true;
    const int status = static_cast<int>(outcome);
    if (journal.Failure().empty()) journal.Write(JournalEndLine(ResultWord(status), status));
    if (journal.Failure().empty()) return true;
    ReportLine(Say(Message::CantWriteRunRecord, {journal.Path(), journal.Failure()}));
    return false;
}

}  // namespace

BackupOutcome SetUpAndRunBackup(const StringList& folders, const WideString& backupRoot, size_t notBackedUp,
                                BackupPlan* plan, std::unique_ptr<ScopedFileHandle>* runLock,
                                BackupSummary* summary) {
    const std::time_t now = std::time(nullptr);
    const std::tm startTime = *std::localtime(&now);
    summary->record.start = startTime;
    summary->record.exitStatus = static_cast<int>(BackupOutcome::NotMade);
    HostFoldersJob job;
    const WideString backupFolder = BackupDestinationFor(backupRoot);
    ApplyBackupPolicy(job, backupFolder);
    SetBackupRoots(plan, backupFolder, job.Context().networkForm(backupFolder), ComputerName());
    plan->folderList = folders;
    plan->folders = ResolveBackupFolders(job, job.Context(), folders, DirectoryExists);
    // Before the first write: no place the backup acts on may lead elsewhere.
    const WideString linked = FirstLinkedPlace(*plan);
    if (!linked.empty()) {
        ReportLine(Say(Message::BackupPlaceIsLink, {plan->drive, linked}));
        return BackupOutcome::NotMade;
    }

    const WideString problem = WriteProblemOf(plan->computerFolder);
    if (!problem.empty()) {
        ReportLine(Say(Message::CantWriteBackup, {backupRoot, problem}));
        return BackupOutcome::NotMade;
    }
    WideString lockProblem;
    const RunLockState lock = TakeRunLock(RunLockFileOf(plan->computerFolder), runLock, &lockProblem);
    if (lock == RunLockState::Busy) {
        ReportLine(Say(Message::AnotherRun, {plan->drive}));
        return BackupOutcome::NotMade;
    }
    if (lock == RunLockState::Failed) {
        ReportLine(Say(Message::CantWriteBackup, {backupRoot, lockProblem}));
        return BackupOutcome::NotMade;
    }
    summary->heldTheDrive = true;
    for (const PlannedFolder& folder : plan->folders) {
        if (folder.fate != FolderFate::Refused) continue;
        PrintErrorLine(RefusalMessage(folder));
        ReportLine(NotBackedUpLine(folder.folder, folder.reason));
    }
    WideString roomProblem;
    if (!ReadRoom(backupFolder, plan, &roomProblem)) {
        ReportLine(Say(Message::CantReadFreeSpace, {plan->drive, roomProblem}));
        return BackupOutcome::NotMade;
    }

    WideString folderProblem;
    const WideString scriptFolder = UsableScriptFolder(&folderProblem);
    if (scriptFolder.empty()) {
        PrintErrorLine(Say(Message::CantMakeWorkFolder, {folderProblem}));
        return BackupOutcome::NotMade;
    }
    ScriptSession script;
    job.SetSource(WideString());
    if (!script.Start(scriptFolder, job.ScriptFileName(),
                      FolderByFolderScript(job, plan->folders, scriptFolder, script.PipeName()))) {
        return BackupOutcome::NotMade;
    }
    BackupLists lists(plan->computerFolder);
    ForgetWhatUnfinishedRunsChanged(plan->versionsFolder, &lists.Book());
    RollingCheck rolling(lists, *plan, PolicyOf(job));
    CopiesCheck copies(lists, PolicyOf(job));
    VersionSetOfRun versions(plan->versionsFolder, startTime);
    JournalOfRun journal(versions, plan->versionsFolder, FormatTime(L"%Y-%m-%d %H:%M:%S", startTime));
    RunOfFolders run{*plan, script, lists, rolling, copies, versions, journal, PolicyOf(job)};
    // The folders in the script's order; the first one's picks are read
    // during the script's first pause, each next one's during the pause
    // after the copy before it, and the rest of the rolling check during
    // the last pause.
    std::vector<PlannedFolder*> taken;
    for (PlannedFolder& folder : plan->folders) {
        if (folder.fate != FolderFate::Refused) taken.push_back(&folder);
    }
    if (!taken.empty()) rolling.ReadAhead(lists.RecordPathOf(taken.front()->destination));
    std::vector<LeftoverFinding> leftovers;
    bool restRead = false;
    for (size_t i = 0; i < taken.size(); ++i) {
        PauseAfter pause;
        if (i + 1 < taken.size()) {
            pause.nextPlace = lists.RecordPathOf(taken[i + 1]->destination);
        } else {
            pause.alsoDuringPause = [&] {
                leftovers = rolling.ReadUnjudged();
                restRead = true;
            };
        }
        FolderTransaction(run, taken[i], std::move(pause)).Run();
    }
    script.Finish();
    if (!restRead) leftovers = rolling.ReadUnjudged();
    const std::vector<LeftoverFinding> unreplaced = rolling.NameUnreplaced();
    leftovers.insert(leftovers.end(), unreplaced.begin(), unreplaced.end());
    SayLines(LeftoverLines(leftovers, plan->drive));
    const WideString rollingLine = RollingLine(rolling.Totals(), plan->drive);
    if (!rollingLine.empty()) ReportLine(rollingLine);
    for (const PlannedFolder& folder : plan->folders) {
        if (folder.fate != FolderFate::Mirror && folder.fate != FolderFate::KeptEmptied) ++run.tally.notBackedUp;
    }
    RunRecord& record = summary->record;
    record.folders = run.tally.folders;
    record.files = run.tally.files;
    record.bytesCopied = run.bytesCopied;
    record.versionsKept = run.versionsKept;
    record.setsRemoved = run.setsRemoved;
    record.seconds = static_cast<uint64_t>(std::difftime(std::time(nullptr), now));
    const bool made = run.copiedSomething || (run.leftOutNeed == 0 && !run.scriptFailed);
    // A run that changed nothing leaves the stick as it was; one that did
    // (earlier versions kept, even when nothing was copied) saves its lists.
    const bool changed = made || journal.Made();
    const std::vector<BackupLists::SaveProblem> saved =
        changed ? lists.Save(versions.Name().empty() ? WideString() : versions.Folder(), journal.Run())
                : std::vector<BackupLists::SaveProblem>();
    const StringList listProblems = ListProblemLines(saved);
    SayLines(listProblems);
    BackupTally tally = run.tally;
    tally.notBackedUp += notBackedUp;
    tally.damagedFiles = rolling.Totals().damaged;
    tally.checksumListWritten = listProblems.empty();
    // What the stick gave back of the copies, the lists and the record.
    summary->stick = copies.Stick();
    const bool listsLost = std::any_of(saved.begin(), saved.end(), [](const BackupLists::SaveProblem& problem) {
        return problem.reason == Say(Message::DoesNotReadBack);
    }) || journal.Failure() == Say(Message::DoesNotReadBack);
    summary->stick.lists = listsLost ? ListsReadBack::Wrong : changed ? ListsReadBack::AsWritten : ListsReadBack::NotRead;
    tally.stickKeepsWrites = !StickLosesWrites(summary->stick);
    if (!made) {
        // Nothing that needed copying was copied: no backup was made.
        if (run.leftOutNeed != 0) ReportLine(ShortfallLine(run.leftOutNeed, plan->drive));
        CloseJournal(journal, BackupOutcome::NotMade);
        return BackupOutcome::NotMade;
    }
    const WideString listProblem = ReplaceFolderListFile(plan->folderList, backupRoot);
    if (!listProblem.empty()) {
        ReportLine(Say(Message::CantWriteFolderList, {FolderListFilePath(backupRoot), listProblem}));
        tally.folderListWritten = false;
    }
    ReadRoom(backupFolder, plan, &roomProblem);
    RunFigures figures;
    figures.bytesCopied = run.bytesCopied;
    figures.versionsKept = run.versionsKept;
    figures.seconds = record.seconds;
    figures.freeBytes = plan->freeBytes;
    figures.drive = plan->drive;
    // The record closes with the run's result: complete only when it is whole.
    tally.runRecordWritten =
        CloseJournal(journal, tally.Complete() ? BackupOutcome::Complete : BackupOutcome::Incomplete);
    summary->verdict = VerdictLine(tally, figures);
    const BackupOutcome outcome = tally.Complete() ? BackupOutcome::Complete : BackupOutcome::Incomplete;
    record.exitStatus = static_cast<int>(outcome);
    return outcome;
}

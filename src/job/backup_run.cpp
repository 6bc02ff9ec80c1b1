#include "job/backup_run.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <ctime>
#include <functional>
#include <iostream>

#include "config/directory_ops.h"
#include "config/folder_reasons.h"
#include "job/backup_check.h"
#include "job/backup_job.h"
#include "job/backup_places.h"
#include "job/backup_setup.h"
#include "job/drive_room.h"
#include "job/job_run.h"
#include "job/read_back.h"
#include "job/run_lock.h"
#include "job/script_session.h"
#include "job/tree_walk.h"
#include "job/version_keeping.h"
#include "plan/versions.h"
#include "script/backup_folders.h"
#include "script/batch_script.h"
#include "script/cmd_text.h"
#include "script/command_line.h"
#include "script/text_files.h"
#include "text/case_text.h"
#include "text/console_output.h"
#include "text/path_text.h"
#include "trace/trace_log.h"
#include "text/messages.h"
#include "verify/checksum_book.h"

namespace {

// What the folder-by-folder run carries from one folder to the next.
struct FolderRun {
    BackupJob& job;
    ScriptSession& script;
    ReadBackOfRun& readBack;
    CopyPolicy policy;
    BackupPlan* plan;
    VersionSetOfRun versions;
    BackupTally tally;
    bool copiedSomething = false;  // a folder with something to copy was copied
    uint64_t leftOutNeed = 0;      // what the folders left out for room need
    bool scriptFailed = false;
    uint64_t bytesCopied = 0;
    uint64_t versionsKept = 0;
    uint64_t setsRemoved = 0;
    bool addedRecordWritten = true;
    // This computer's older sets, walked once when a folder first needs room.
    bool setsKnown = false;
    std::vector<VersionSet> sets = {};
};

// The policy of one folder's copy: the folders its command leaves out are
// left out of its plan and check too.
CopyPolicy PolicyOfFolder(const CopyPolicy& policy, const PlannedFolder& folder) {
    CopyPolicy own = policy;
    own.skippedFolders = folder.skippedFolders;
    return own;
}

void LeaveOut(PlannedFolder* folder, FolderFate fate, const WideString& reason) {
    folder->fate = fate;
    folder->reason = reason;
    ReportLine(NotBackedUpLine(folder->folder, folder->reason));
}

// The folder's place below the computer's folder, "C\KORV\Data", or empty
// for a backup that lies elsewhere (a share's): only the computer's own
// backups are rebuilt for an earlier day.
WideString PlaceBelowComputer(const BackupPlan& plan, const PlannedFolder& folder) {
    const WideString holder = AppendSeparator(plan.computerFolder, L'\\');
    if (plan.versionsFolder.empty() || FindNoCase(folder.destination, holder, 0) != 0) return WideString();
    return folder.destination.substr(holder.size());
}

// Compares the folder with its backup now, just before its copy, and says
// why it keeps its backup when it does. False when it cannot be read. The
// files the copy adds (none of their name in the backup) go into added, one
// line each, as the run's record names them.
bool PlanFolder(FolderRun& run, PlannedFolder* folder, std::vector<WideString>* unrecorded, std::string* added) {
    const TakenFileVisitor unrecordedVisit = run.readBack.UnrecordedVisitor(*folder, unrecorded);
    const WideString place = PlaceBelowComputer(*run.plan, *folder);
    folder->before = CompareTrees(PolicyOfFolder(run.policy, *folder), run.plan->clusterBytes, folder->source,
                                  folder->destination,
                                  [&](const WideString& relative, const FolderEntry& source, const FolderEntry* backup,
                                      bool upToDate) {
                                      if (unrecordedVisit) unrecordedVisit(relative, source, backup, upToDate);
                                      if (backup != nullptr || place.empty()) return;
                                      *added += ListPath(JoinPath(place, relative));
                                      *added += '\n';
                                  });
    DecideFate(folder);
    if (folder->fate == FolderFate::Unreadable) {
        ReportLine(NotBackedUpLine(folder->folder, folder->reason));
        return false;
    }
    // Subfolders that cannot be listed are left out of the copy (their
    // backup stays as it is) and of the check; the rest is copied.
    for (const TreeComparison::Unreadable& sub : folder->before.unreadable) {
        folder->skippedFolders.push_back(ToLowerText(sub.relative));
    }
    if (!folder->holds.empty()) {
        ReportLine(Say(Message::HoldsConfigured, {folder->source, folder->holds}));
    }
    if (folder->fate == FolderFate::KeptEmptied) {
        // Mirroring it would delete the only copy of its files.
        ReportLine(Say(Message::KeptEmptied, {folder->source}));
    }
    return true;
}

// Keeps the folder's earlier versions and makes room for its copy: the
// moves first, then, only when the folder needs it and it then fits, the
// removal of old sets. False (said) when the folder is not to be copied;
// the files moved so far are back in place then.
bool PrepareFolder(FolderRun& run, PlannedFolder* folder, std::vector<VersionMove>* moves) {
    BackupPlan& plan = *run.plan;
    WideString problem;
    if (!ReadRoom(plan.backupFolder, &plan, &problem)) {
        LeaveOut(folder, FolderFate::KeptNoRoom, Say(Message::CantReadFreeSpaceReason, {plan.drive, problem}));
        return false;
    }
    const bool changes = !folder->before.overwritten.empty() || !folder->before.deleted.empty();
    if (changes && plan.versionsFolder.empty()) {
        LeaveOut(folder, FolderFate::KeptUnversioned, Say(Message::CantKeepVersionsName));
        return false;
    }
    const WideString setFolder = changes ? run.versions.Folder() : WideString();
    *moves = run.versions.NotYetMoved(VersionMoves(plan, *folder, setFolder));
    const uint64_t need = folder->before.need + SetFoldersNeed(*moves, setFolder, plan.clusterBytes) +
                          run.readBack.ListsNeed(*folder, plan.clusterBytes);
    std::vector<VersionSet> toRemove;
    if (need > plan.freeBytes) {
        if (!run.setsKnown) {
            run.sets = VersionSetsOnDrive(plan);
            run.setsKnown = true;
        }
        toRemove = SetsToRemove(run.sets, need, plan.freeBytes, run.versions.Name());
        if (toRemove.empty()) {
            run.leftOutNeed += need - plan.freeBytes;
            LeaveOut(folder, FolderFate::KeptNoRoom, NoRoomReason(need, plan.freeBytes, plan.drive));
            moves->clear();
            return false;
        }
    }
    problem = MoveIntoSet(*moves, setFolder);
    if (!problem.empty()) {
        LeaveOut(folder, FolderFate::KeptUnversioned, problem);
        moves->clear();
        return false;
    }
    if (!moves->empty()) ReportLine(KeptVersionsLine(moves->size(), folder->source, setFolder));
    run.versions.Remember(*moves);
    run.readBack.MovedIntoSet(*moves);
    if (toRemove.empty()) return true;
    const size_t removed = RemoveVersionSets(toRemove, &plan);
    run.setsRemoved += removed;
    for (size_t i = 0; i < removed; ++i) {
        run.sets.erase(std::remove_if(run.sets.begin(), run.sets.end(),
                                      [&](const VersionSet& set) { return set.name == toRemove[i].name; }),
                       run.sets.end());
    }
    if (need <= plan.freeBytes) return true;
    PutBack(*moves, setFolder);
    run.versions.Forget(*moves);
    moves->clear();
    run.leftOutNeed += need - plan.freeBytes;
    LeaveOut(folder, FolderFate::KeptNoRoom, NoRoomReason(need, plan.freeBytes, plan.drive));
    return false;
}

// Before the folder's copy: what it adds goes into the run's record. A run
// that keeps earlier versions gets the record too, even with nothing
// added, so that a restore knows this run's additions are all written down.
void RecordAdded(FolderRun& run, const std::string& added, bool keptVersions) {
    if ((added.empty() && !keptVersions) || run.plan->versionsFolder.empty()) return;
    const WideString setFolder = run.versions.Folder();
    const WideString problem = AppendToAddedRecord(setFolder, added);
    if (problem.empty()) return;
    if (run.addedRecordWritten) ReportLine(Say(Message::CantWriteAddedRecord, {AddedRecordOf(setFolder), problem}));
    run.addedRecordWritten = false;
}

int64_t FileTimeNow() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return static_cast<int64_t>((uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime);
}

// Checks the folder against its source right after its copy, reading back
// what the copy wrote (a wrong copy is copied once more by copyAgain), puts
// back the earlier versions its copy did not replace, and says how it went.
void CheckFolder(FolderRun& run, PlannedFolder* folder, const std::vector<VersionMove>& moves,
                 int64_t copyStarted, const std::function<bool(const StringList&)>& copyAgain,
                 bool leftAsPlanned = false) {
    const CopyPolicy policy = PolicyOfFolder(run.policy, *folder);
    FolderReadBack readBack;
    // A copy that changed nothing leaves the plan's comparison true: no
    // second walk of both trees, nothing written to read back.
    TreeComparison after = leftAsPlanned ? folder->before
                                         : CompareTrees(policy, 0, folder->source, folder->destination,
                                                        run.readBack.CopiesVisitor(*folder, copyStarted, &readBack));
    run.readBack.FinishCopies(*folder, &readBack);
    if (!readBack.mismatched.empty()) {
        run.readBack.RemoveMismatched(*folder, &readBack);
        // Only the files that did not match are copied again: whatever else
        // changed since the plan is neither overwritten nor purged unkept.
        const StringList again = CopyAgainArguments(*folder, readBack.mismatched, ScriptCodePage());
        run.readBack.CheckAgain(*folder, !again.empty() && copyAgain(again), &readBack);
        after = CompareTrees(policy, 0, folder->source, folder->destination);
    }
    size_t filesPutBack = 0;
    const StringList putBack = PutBackWhatWasNotReplaced(moves, run.versions.Folder(), policy, &filesPutBack);
    run.versions.Forget(moves);
    after.unreadable.insert(after.unreadable.begin(), folder->before.unreadable.begin(),
                            folder->before.unreadable.end());
    folder->verified = VerifiedComplete(after) && putBack.empty() && readBack.complete;
    for (const WideString& line : VerificationLines(folder->source, after, folder->verified)) ReportLine(line);
    for (const WideString& line : readBack.lines) ReportLine(line);
    for (const WideString& line : putBack) ReportLine(line);
    for (const WideString& big : after.overSizeCap) {
        ReportLine(Say(Message::OverSizeCap, {JoinPath(folder->source, big)}));
    }
    const size_t droppedBefore = run.readBack.DroppedFromSet();
    for (const WideString& line : run.readBack.AfterFolder(*folder)) ReportLine(line);
    run.versionsKept += moves.size() - filesPutBack - (run.readBack.DroppedFromSet() - droppedBefore);
    // What the copy was to write, less what is still not in the backup.
    if (folder->fate == FolderFate::Mirror && folder->before.bytesToCopy > after.bytesToCopy) {
        run.bytesCopied += folder->before.bytesToCopy - after.bytesToCopy;
    }
    ++run.tally.folders;
    run.tally.files += after.files;
    run.tally.missingFiles += after.MissingOrOlder();
    if (!folder->verified) ++run.tally.incompleteFolders;
}

// The arguments that leave the subfolders that could not be listed out of
// the folder's copy, on both sides: "/xd \"C:\d\x\" \"E:\b\x\"", or empty.
WideString LeftOutArguments(const PlannedFolder& folder) {
    StringList leftOut;
    for (const TreeComparison::Unreadable& sub : folder.before.unreadable) {
        leftOut.push_back(JoinPath(folder.source, sub.relative));
        leftOut.push_back(JoinPath(folder.destination, sub.relative));
    }
    return WithFoldersLeftOut(WideString(), leftOut);
}

// One folder as one transaction: the script's pause, the folder's plan, its
// earlier versions, its copy (the script's next command), its check and the
// put-back, before the script goes on to the next folder.
void BackUpFolder(FolderRun& run, PlannedFolder* folder) {
    ScriptSession& script = run.script;
    if (!script.AwaitScript()) {
        LeaveOut(folder, FolderFate::KeptNoRoom, Say(Message::ScriptEnded));
        run.scriptFailed = true;
        return;
    }
    std::vector<VersionMove> moves;
    std::vector<WideString> unrecorded;
    std::string added;
    bool allReadBeforeCopy = false;
    // The rolling check reads the folder's picked files while the plan walks.
    run.readBack.StartRollingReads(*folder);
    const bool planned = PlanFolder(run, folder, &unrecorded, &added);
    run.readBack.AwaitRollingReads();
    if (planned && folder->fate == FolderFate::Mirror) {
        run.readBack.CheckKeptCopies(folder, run.plan->clusterBytes);
        allReadBeforeCopy = run.readBack.CheckUnrecorded(folder, unrecorded, run.plan->clusterBytes);
        if (PrepareFolder(run, folder, &moves)) RecordAdded(run, added, !moves.empty());
    }
    if (folder->fate != FolderFate::Mirror) {
        run.scriptFailed = !script.Answer(L"skip");
        if (folder->fate == FolderFate::KeptEmptied) {
            CheckFolder(run, folder, moves, INT64_MAX, [](const StringList&) { return false; });
        }
        return;
    }
    const WideString leftOut = LeftOutArguments(*folder);
    if (!leftOut.empty()) folder->commandLine += L" " + leftOut;
    const int64_t copyStarted = FileTimeNow();
    script.TakeCopyExitCode();  // none of an earlier copy
    if (!script.Answer(L"copy") || !script.AwaitScript() || !script.Answer(leftOut)) {
        // Nothing was copied: the backup gets back what was kept aside for it.
        PutBack(moves, run.versions.Folder());
        run.versions.Forget(moves);
        LeaveOut(folder, FolderFate::KeptNoRoom, Say(Message::ScriptEnded));
        run.scriptFailed = true;
        return;
    }
    // The script asks again once the copy has ended.
    bool ended = script.AwaitScript();
    const std::optional<int> exitCode = ended ? script.TakeCopyExitCode() : std::nullopt;
    const bool leftAsPlanned = CopyLeftBackupAsPlanned(folder->before, allReadBeforeCopy, moves.size(),
                                                       exitCode ? &*exitCode : nullptr);
    if (folder->before.need != 0) run.copiedSomething = true;
    CheckFolder(run, folder, moves, copyStarted, [&](const StringList& files) {
        for (const WideString& file : files) {
            ended = ended && script.Answer(L"again") && script.AwaitScript() && script.Answer(file) &&
                    script.AwaitScript();
        }
        return ended;
    }, leftAsPlanned);
    run.scriptFailed = !ended || !script.Answer(L"next");
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
        std::wcerr << RefusalMessage(folder) << std::endl;
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
        std::wcerr << Say(Message::CantMakeWorkFolder, {folderProblem}) << std::endl;
        return BackupOutcome::NotMade;
    }
    ScriptSession script;
    job.SetSource(WideString());
    if (!script.Start(scriptFolder, job.ScriptFileName(),
                      FolderByFolderScript(job, plan->folders, scriptFolder, script.PipeName()))) {
        return BackupOutcome::NotMade;
    }
    ReadBackOfRun readBack(*plan, PolicyOf(job));
    FolderRun run{job, script, readBack, PolicyOf(job), plan, VersionSetOfRun(plan->versionsFolder, startTime), {}};
    for (PlannedFolder& folder : plan->folders) {
        if (folder.fate == FolderFate::Refused) continue;
        if (run.scriptFailed) {
            LeaveOut(&folder, FolderFate::KeptNoRoom, Say(Message::ScriptEnded));
            continue;
        }
        BackUpFolder(run, &folder);
    }
    script.Finish();
    for (const WideString& line : readBack.AfterLastFolder()) ReportLine(line);
    const WideString rollingLine = readBack.RollingLine();
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
    if (!run.copiedSomething && (run.leftOutNeed != 0 || run.scriptFailed)) {
        // Nothing that needed copying was copied: no backup was made.
        if (run.leftOutNeed != 0) ReportLine(ShortfallLine(run.leftOutNeed, plan->drive));
        return BackupOutcome::NotMade;
    }

    // A run that made no backup leaves the stick as it was.
    const StringList listProblems = readBack.Save(run.versions.Name().empty() ? WideString() : run.versions.Folder());
    for (const WideString& line : listProblems) ReportLine(line);
    BackupTally tally = run.tally;
    tally.notBackedUp += notBackedUp;
    tally.damagedFiles = readBack.Damaged();
    tally.checksumListWritten = listProblems.empty();
    tally.addedRecordWritten = run.addedRecordWritten;
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
    summary->verdict = VerdictLine(tally, figures);
    const BackupOutcome outcome = tally.Complete() ? BackupOutcome::Complete : BackupOutcome::Incomplete;
    record.exitStatus = static_cast<int>(outcome);
    return outcome;
}

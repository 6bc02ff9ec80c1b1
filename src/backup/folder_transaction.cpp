#include "backup/folder_transaction.h"

#include <algorithm>
#include <climits>

#include "backup/folder_lines.h"
#include "common/windows_headers.h"
#include "config/folder_reasons.h"
#include "plan/versions.h"
#include "script/backup_folders.h"
#include "stick/drive_room.h"
#include "text/case_text.h"
#include "text/console_output.h"
#include "trace/trace_log.h"
#include "text/messages.h"
#include "text/path_text.h"
#include "verify/checksum_book.h"
#include "walk/tree_walk.h"

namespace {

// The policy of one folder's copy: the folders its command leaves out are
// left out of its plan and check too.
CopyPolicy PolicyOfFolder(const CopyPolicy& policy, const PlannedFolder& folder) {
    CopyPolicy own = policy;
    own.skippedFolders = folder.skippedFolders;
    return own;
}

// The folder's place below the computer's folder, "C\KORV\Data", or empty
// for a backup that lies elsewhere (a share's): only the computer's own
// backups are rebuilt for an earlier day.
WideString PlaceBelowComputer(const BackupPlan& plan, const PlannedFolder& folder) {
    const WideString holder = AppendSeparator(plan.computerFolder, L'\\');
    if (plan.versionsFolder.empty() || FindNoCase(folder.destination, holder, 0) != 0) return WideString();
    return folder.destination.substr(holder.size());
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

int64_t FileTimeNow() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return static_cast<int64_t>((uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime);
}

void SayLines(const StringList& lines) {
    for (const WideString& line : lines) ReportLine(line);
}

}  // namespace

FolderTransaction::FolderTransaction(RunOfFolders& run, PlannedFolder* folder)
    : run_(run),
      folder_(*folder),
      policy_(PolicyOfFolder(run.policy, *folder)),
      place_(run.lists.RecordPathOf(folder->destination)),
      addedPlace_(PlaceBelowComputer(run.plan, *folder)) {}

void FolderTransaction::Run() {
    if (!AwaitPause()) return;
    const bool planned = Plan();
    if (planned && folder_.fate == FolderFate::Mirror) {
        CheckBeforeCopy();
        if (KeepVersions()) RecordAdded();
    }
    if (folder_.fate != FolderFate::Mirror) return Skip();
    if (Copy()) Check();
}

void FolderTransaction::LeaveOut(FolderFate fate, const WideString& reason) {
    folder_.fate = fate;
    folder_.reason = reason;
}

// The script's pause before the folder: it asks for its next step once the
// pause is over.
bool FolderTransaction::AwaitPause() {
    if (!run_.scriptFailed && run_.script.AwaitScript()) return true;
    LeaveOut(FolderFate::KeptNoRoom, Say(Message::ScriptEnded));
    ReportLine(NotBackedUpLine(folder_.folder, folder_.reason));
    run_.scriptFailed = true;
    return false;
}

// Compares the folder with its backup now, just before its copy, while the
// rolling check reads the folder's picked files; the files the copy adds
// (none of their name in the backup) go into the run's record. False when
// it cannot be read.
bool FolderTransaction::Plan() {
    run_.rolling.ReadAhead(place_);
    const TakenFileVisitor unrecorded = run_.copies.UnrecordedVisitor(place_, &unrecorded_);
    folder_.before = CompareTrees(policy_, run_.plan.clusterBytes, folder_.source, folder_.destination,
                                  [&](const WideString& relative, const FolderEntry& source,
                                      const FolderEntry* backup, bool upToDate) {
                                      unrecorded(relative, source, backup, upToDate);
                                      if (backup != nullptr || addedPlace_.empty()) return;
                                      added_ += ListPath(JoinPath(addedPlace_, relative));
                                      added_ += '\n';
                                  });
    DecideFate(&folder_);
    run_.rolling.AwaitReads();
    SayLines(PlanLines(folder_));
    if (folder_.fate == FolderFate::Unreadable) return false;
    // Subfolders that cannot be listed are left out of the copy (their
    // backup stays as it is) and of the check; the rest is copied.
    for (const TreeComparison::Unreadable& sub : folder_.before.unreadable) {
        folder_.skippedFolders.push_back(ToLowerText(sub.relative));
    }
    return true;
}

// Reads back what the copy will leave alone: the rolling check's picks, and
// the backup files the lists do not record as they are.
void FolderTransaction::CheckBeforeCopy() {
    SayLines(RollingLines(run_.rolling.Judge(&folder_, place_, run_.plan.clusterBytes), run_.plan.drive));
    allReadBeforeCopy_ = run_.copies.CheckUnrecorded(&folder_, place_, unrecorded_, run_.plan.clusterBytes);
}

// Keeps the folder's earlier versions and makes room for its copy: the
// moves first, then, only when the folder needs it and it then fits, the
// removal of old sets. False when the folder is not to be copied; the
// files moved so far are back in place then.
bool FolderTransaction::KeepVersions() {
    BackupPlan& plan = run_.plan;
    KeepFacts facts;
    const bool kept = [&] {
        WideString problem;
        if (!ReadRoom(plan.backupFolder, &plan, &problem)) {
            LeaveOut(FolderFate::KeptNoRoom, Say(Message::CantReadFreeSpaceReason, {plan.drive, problem}));
            return false;
        }
        const bool changes = !folder_.before.overwritten.empty() || !folder_.before.deleted.empty();
        if (changes && plan.versionsFolder.empty()) {
            LeaveOut(FolderFate::KeptUnversioned, Say(Message::CantKeepVersionsName));
            return false;
        }
        const WideString setFolder = changes ? run_.versions.Folder() : WideString();
        moves_ = run_.versions.NotYetMoved(VersionMoves(plan, folder_, setFolder));
        const uint64_t need = folder_.before.need + SetFoldersNeed(moves_, setFolder, plan.clusterBytes) +
                              run_.lists.Need(folder_.before.MissingOrOlder(), plan.clusterBytes);
        if (need > plan.freeBytes && !MakeRoomPossible(need)) return false;
        problem = MoveIntoSet(moves_, setFolder, &facts.notReturned);
        if (!problem.empty()) {
            LeaveOut(FolderFate::KeptUnversioned, problem);
            moves_.clear();
            return false;
        }
        facts.kept = moves_.size();
        facts.setFolder = setFolder;
        run_.versions.Remember(moves_);
        differingKept_ = run_.lists.MovedIntoSet(moves_);
        return MakeRoom(need, &facts);
    }();
    facts.leftOut = !kept;
    SayLines(KeepLines(facts, folder_));
    return kept;
}

// Whether removing old sets can let a folder that needs that many bytes
// fit; else the folder is left out for want of room.
bool FolderTransaction::MakeRoomPossible(uint64_t need) {
    BackupPlan& plan = run_.plan;
    if (!run_.setsKnown) {
        run_.sets = VersionSetsOnDrive(plan);
        run_.setsKnown = true;
    }
    setsToRemove_ = SetsToRemove(run_.sets, need, plan.freeBytes, run_.versions.Name());
    if (!setsToRemove_.empty()) return true;
    run_.leftOutNeed += need - plan.freeBytes;
    LeaveOut(FolderFate::KeptNoRoom, NoRoomReason(need, plan.freeBytes, plan.drive));
    moves_.clear();
    return false;
}

// Removes the sets chosen for room, once the folder's own files are kept.
bool FolderTransaction::MakeRoom(uint64_t need, KeepFacts* facts) {
    BackupPlan& plan = run_.plan;
    if (setsToRemove_.empty()) return true;
    facts->removals = RemoveVersionSets(setsToRemove_, &plan);
    run_.setsRemoved += facts->removals.removed.size();
    for (const VersionSet& removed : facts->removals.removed) {
        run_.sets.erase(std::remove_if(run_.sets.begin(), run_.sets.end(),
                                       [&](const VersionSet& set) { return set.name == removed.name; }),
                        run_.sets.end());
    }
    if (need <= plan.freeBytes) return true;
    facts->notReturned = PutBack(moves_, run_.versions.Folder());
    run_.versions.Forget(moves_);
    moves_.clear();
    run_.leftOutNeed += need - plan.freeBytes;
    LeaveOut(FolderFate::KeptNoRoom, NoRoomReason(need, plan.freeBytes, plan.drive));
    return false;
}

// Before the copy: what it adds goes into the run's record. A run that
// keeps earlier versions gets the record too, even with nothing added, so
// that a restore knows this run's additions are all written down.
void FolderTransaction::RecordAdded() {
    if ((added_.empty() && moves_.empty()) || run_.plan.versionsFolder.empty()) return;
    const WideString setFolder = run_.versions.Folder();
    const WideString problem = AppendToAddedRecord(setFolder, added_);
    if (problem.empty()) return;
    if (run_.addedRecordWritten) ReportLine(Say(Message::CantWriteAddedRecord, {AddedRecordOf(setFolder), problem}));
    run_.addedRecordWritten = false;
}

// A folder that is not copied: the script goes on to the next one. One that
// became empty is checked all the same (its backup stays as it was).
void FolderTransaction::Skip() {
    scriptWithUs_ = run_.script.Answer(L"skip");
    run_.scriptFailed = !scriptWithUs_;
    if (folder_.fate != FolderFate::KeptEmptied) return;
    copyStarted_ = INT64_MAX;
    Check();
}

// Has the script copy the folder (its unreadable subfolders left out) and
// waits until the copy has ended. False when the script is gone before it
// copied: the backup gets back what was kept aside for it.
bool FolderTransaction::Copy() {
    ScriptSession& script = run_.script;
    const WideString leftOut = LeftOutArguments(folder_);
    if (!leftOut.empty()) folder_.commandLine += L" " + leftOut;
    copyStarted_ = FileTimeNow();
    script.TakeCopyExitCode();  // none of an earlier copy
    if (!script.Answer(L"copy") || !script.AwaitScript() || !script.Answer(leftOut)) {
        const std::vector<ReturnedFile> stuck = PutBack(moves_, run_.versions.Folder());
        run_.versions.Forget(moves_);
        LeaveOut(FolderFate::KeptNoRoom, Say(Message::ScriptEnded));
        SayLines(CopyNotRunLines(stuck, folder_));
        run_.scriptFailed = true;
        return false;
    }
    // The script asks again once the copy has ended.
    scriptWithUs_ = script.AwaitScript();
    const std::optional<int> exitCode = scriptWithUs_ ? script.TakeCopyExitCode() : std::nullopt;
    leftAsPlanned_ = CopyLeftBackupAsPlanned(folder_.before, allReadBeforeCopy_, moves_.size(),
                                             exitCode ? &*exitCode : nullptr);
    if (folder_.before.need != 0) run_.copiedSomething = true;
    return true;
}

bool FolderTransaction::CopyAgain(const StringList& files) {
    ScriptSession& script = run_.script;
    for (const WideString& file : files) {
        scriptWithUs_ = scriptWithUs_ && script.Answer(L"again") && script.AwaitScript() && script.Answer(file) &&
                        script.AwaitScript();
    }
    return scriptWithUs_;
}

// Checks the folder against its source right after its copy (a wrong copy
// is copied once more), puts back the earlier versions its copy did not
// replace, settles the lines of what moved, and says how it went.
void FolderTransaction::Check() {
    const bool copied = folder_.fate == FolderFate::Mirror;
    CheckFacts facts;
    CopyReadBack readBack = run_.copies.CheckCopy(folder_, policy_, place_, copyStarted_, leftAsPlanned_,
                                                  [&](const StringList& files) { return copied && CopyAgain(files); });
    facts.findings = std::move(readBack.findings);
    facts.returned = PutBackWhatWasNotReplaced(moves_, run_.versions.Folder(), policy_);
    run_.versions.Forget(moves_);
    facts.after = std::move(readBack.after);
    facts.after.unreadable.insert(facts.after.unreadable.begin(), folder_.before.unreadable.begin(),
                                  folder_.before.unreadable.end());
    const size_t putBack = std::count_if(facts.returned.begin(), facts.returned.end(),
                                         [](const ReturnedFile& file) { return file.problem.empty(); });
    folder_.verified = VerifiedComplete(facts.after) && facts.returned.empty() && readBack.complete;
    facts.verified = folder_.verified;
    // Lines follow the files: those in the set stay there, those back in the backup return to the book.
    run_.lists.SettleMoved();
    if (!place_.empty()) {
        run_.lists.FolderChecked(place_);
        facts.suspects = run_.rolling.Settle(place_);
        facts.differingKept = std::move(differingKept_);
    }
    SayLines(CheckLines(facts, folder_, run_.plan.drive));
    const size_t repaired = std::count_if(facts.suspects.begin(), facts.suspects.end(),
                                          [](const SuspectOutcome& suspect) { return suspect.repaired; });
    run_.versionsKept += moves_.size() - putBack - repaired;
    // What the copy was to write, less what is still not in the backup.
    if (copied && folder_.before.bytesToCopy > facts.after.bytesToCopy) {
        run_.bytesCopied += folder_.before.bytesToCopy - facts.after.bytesToCopy;
    }
    ++run_.tally.folders;
    run_.tally.files += facts.after.files;
    run_.tally.missingFiles += facts.after.MissingOrOlder();
    if (!folder_.verified) ++run_.tally.incompleteFolders;
    if (copied) run_.scriptFailed = !scriptWithUs_ || !run_.script.Answer(L"next");
}

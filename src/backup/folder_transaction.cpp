#include "backup/folder_transaction.h"

#include <algorithm>
#include <climits>

#include "common/windows_headers.h"
#include "config/folder_reasons.h"
#include "plan/versions.h"
#include "records/run_journal.h"
#include "script/backup_folders.h"
#include "stick/drive_room.h"
#include "text/canonical_path.h"
#include "text/case_text.h"
#include "text/messages.h"
#include "text/path_text.h"
#include "trace/trace_log.h"
#include "walk/tree_walk.h"

namespace {

// The policy of one folder's copy: the folders its command leaves out are
// left out of its plan and check too.
CopyPolicy PolicyOfFolder(const CopyPolicy& policy, const PlannedFolder& folder) {
    CopyPolicy own = policy;
    own.skippedFolders = folder.skippedFolders;
    return own;
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

WideString Below(const WideString& place, const WideString& relative) { return JoinPath(place, relative); }

// The copies' lines are written to the run's record a piece at a time.
const size_t kSumLinesAtOnce = 256 * 1024;

}  // namespace

FolderTransaction::FolderTransaction(RunOfFolders& run, PlannedFolder* folder, PauseAfter pause)
    : run_(run),
      folder_(*folder),
      pause_(std::move(pause)),
      policy_(PolicyOfFolder(run.policy, *folder)),
      place_(run.lists.RecordPathOf(folder->destination)),
      recordedPlace_(place_.empty() ? PathBelow(folder->destination, run.plan.backupFolder) : place_) {}

void FolderTransaction::Run() {
    if (!AwaitPause()) return;
    const bool planned = Plan();
    if (planned && folder_.fate == FolderFate::Mirror) {
        CheckBeforeCopy();
        KeepVersions();
    }
    const bool copied = folder_.fate == FolderFate::Mirror;
    if (copied && !Copy()) return;
    if (!copied) Skip();
    // The script pauses now, before the next folder or at its end.
    const bool checked = copied || folder_.fate == FolderFate::KeptEmptied;
    ReadBackOfCopy readBack;
    if (checked) readBack = ReadBack();
    AwaitPauseEnd();
    if (checked) Check(std::move(readBack));
    if (scriptWithUs_) scriptWithUs_ = run_.script.Answer(L"next");
    run_.scriptFailed = run_.scriptFailed || !scriptWithUs_;
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
// (none of their name in the backup) are noted for the run's record. False
// when it cannot be read.
bool FolderTransaction::Plan() {
    run_.rolling.ReadAhead(place_);
    const TakenFileVisitor unrecorded = run_.copies.UnrecordedVisitor(place_, &unrecorded_);
    folder_.before = CompareTrees(policy_, run_.plan.clusterBytes, folder_.source, folder_.destination,
                                  [&](const WideString& relative, const FolderEntry& source,
                                      const FolderEntry* backup, bool upToDate) {
                                      unrecorded(relative, source, backup, upToDate);
                                      if (backup != nullptr || place_.empty()) return;
                                      addLines_ += JournalPathLine("add", Below(place_, relative));
                                      known_.Add(relative);
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
    policy_ = PolicyOfFolder(run_.policy, folder_);
    return true;
}

// Reads back what the copy will leave alone: the rolling check's picks, and
// the backup files the lists do not record as they are.
void FolderTransaction::CheckBeforeCopy() {
    bool judgeRead = false;
    SayLines(RollingLines(run_.rolling.Judge(&folder_, place_, run_.plan.clusterBytes, &judgeRead), run_.plan.drive));
    allReadBeforeCopy_ = run_.copies.CheckUnrecorded(&folder_, place_, unrecorded_, run_.plan.clusterBytes);
    readsBetween_ = judgeRead || !unrecorded_.empty();
}

// Keeps the folder's earlier versions and makes room for its copy: the
// record first, then the moves, then, only when the folder needs it and it
// then fits, the removal of old sets. False when the folder is not to be
// copied; the files moved so far are back in place then.
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
        const std::vector<VersionMove> moves = run_.versions.NotYetMoved(VersionMoves(plan, folder_, setFolder));
        const uint64_t need = folder_.before.need + SetFoldersNeed(moves, setFolder, plan.clusterBytes) +
                              run_.lists.Need(folder_.before.MissingOrOlder(), plan.clusterBytes);
        if (need > plan.freeBytes && !MakeRoomPossible(need)) return false;
        if (!Keep(moves, setFolder, &facts) || !MakeRoom(need, &facts)) return false;
        // Reads or removals took time since the plan: what changed meanwhile is kept too.
        if (readsBetween_ || !facts.removals.removed.empty()) return LookAgain(setFolder, &facts);
        return true;
    }();
    facts.leftOut = !kept;
    SayLines(KeepLines(facts, folder_));
    return kept;
}

bool FolderTransaction::Keep(std::vector<VersionMove> moves, const WideString& setFolder, KeepFacts* facts) {
    if (moves.empty() && addLines_.empty()) return true;
    std::vector<ChecksumRecord> lines(moves.size());
    std::vector<KeptEntry> kept(moves.size());
    for (size_t i = 0; i < moves.size(); ++i) {
        WideString problem;
        if (!run_.lists.LineOfKept(moves[i], PathBelow(moves[i].to, setFolder), &lines[i], &problem)) {
            LeaveOut(FolderFate::KeptUnversioned, Say(Message::CantReadEarlierVersion, {moves[i].from, problem}));
            return false;
        }
        kept[i].network = place_.empty();
        kept[i].path = kept[i].network ? PathBelow(moves[i].from, run_.plan.backupFolder)
                                       : run_.lists.RecordPathOf(moves[i].from);
        kept[i].digest = lines[i].digest;
        kept[i].size = lines[i].size;
        kept[i].lastWrite = lines[i].lastWrite;
    }
    // On the stick, read back, before anything of the folder moves.
    const WideString unrecorded = run_.journal.BeginFolder(recordedPlace_, kept, addLines_);
    if (!unrecorded.empty()) {
        LeaveOut(FolderFate::KeptUnversioned, Say(Message::NotRecordedFirst, {unrecorded}));
        return false;
    }
    addLines_.clear();
    begun_ = true;
    std::vector<ReturnedFile> stuck;
    const WideString problem = MoveIntoSet(moves, setFolder, &stuck);
    if (!problem.empty()) {
        facts->notReturned.insert(facts->notReturned.end(), stuck.begin(), stuck.end());
        StringList back;
        for (const VersionMove& move : moves) {
            const bool stays = std::any_of(stuck.begin(), stuck.end(),
                                           [&](const ReturnedFile& file) { return file.move.from == move.from; });
            if (!stays && FactsOf(move.from).exists) back.push_back(run_.lists.RecordPathOf(move.from));
        }
        RecordAfter(back, {}, {});
        LeaveOut(FolderFate::KeptUnversioned, problem);
        return false;
    }
    facts->kept += moves.size();
    facts->setFolder = setFolder;
    run_.versions.Remember(moves);
    const std::vector<VersionMove> differing = run_.lists.MovedIntoSet(moves, lines);
    differingKept_.insert(differingKept_.end(), differing.begin(), differing.end());
    for (const VersionMove& move : moves) {
        known_.Add(PathBelow(move.from, folder_.destination));
        moves_.push_back(move);
    }
    return true;
}

bool FolderTransaction::LookAgain(const WideString& firstSet, KeepFacts* facts) {
    TreeComparison again = CompareTrees(policy_, run_.plan.clusterBytes, folder_.source, folder_.destination,
                                        [&](const WideString& relative, const FolderEntry&, const FolderEntry* backup,
                                            bool) {
                                            if (backup != nullptr || place_.empty() || known_.Has(relative)) return;
                                            addLines_ += JournalPathLine("add", Below(place_, relative));
                                            known_.Add(relative);
                                        });
    // A folder that can no longer be read keeps the plan it had.
    if (!again.Read()) return true;
    again.unreadable = folder_.before.unreadable;
    folder_.before = again;
    const bool changes = !again.overwritten.empty() || !again.deleted.empty();
    if (changes && run_.plan.versionsFolder.empty()) return true;
    const WideString setFolder = changes && firstSet.empty() ? run_.versions.Folder() : firstSet;
    if (Keep(run_.versions.NotYetMoved(VersionMoves(run_.plan, folder_, setFolder)), setFolder, facts)) return true;
    const std::vector<ReturnedFile> stuck = ReturnAll();
    facts->notReturned.insert(facts->notReturned.end(), stuck.begin(), stuck.end());
    return false;
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
    return false;
}

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
    const std::vector<ReturnedFile> stuck = ReturnAll();
    facts->notReturned.insert(facts->notReturned.end(), stuck.begin(), stuck.end());
    run_.leftOutNeed += need - plan.freeBytes;
    LeaveOut(FolderFate::KeptNoRoom, NoRoomReason(need, plan.freeBytes, plan.drive));
    return false;
}

std::vector<ReturnedFile> FolderTransaction::ReturnAll() {
    const std::vector<ReturnedFile> stuck = PutBack(moves_, run_.versions.Folder());
    StringList back;
    for (const VersionMove& move : moves_) {
        const bool stays = std::any_of(stuck.begin(), stuck.end(),
                                       [&](const ReturnedFile& file) { return file.move.from == move.from; });
        if (!stays) back.push_back(run_.lists.RecordPathOf(move.from));
    }
    run_.versions.Forget(moves_);
    moves_.clear();
    RecordAfter(back, {}, {});
    return stuck;
}

void FolderTransaction::RecordAfter(const StringList& back, const StringList& lost, const StringList& late) {
    run_.journal.EndFolder(recordedPlace_, begun_, sumLines_, back, lost, late);
    sumLines_.clear();
    begun_ = false;
}

// A folder that is not copied: the script goes on to the next one. One that
// became empty is checked all the same (its backup stays as it was).
void FolderTransaction::Skip() {
    scriptWithUs_ = run_.script.Answer(L"skip");
    copyStarted_ = INT64_MAX;
    PauseStarts();
}

// The script pauses before the next folder: that folder's picks of the
// rolling check are read meanwhile, unless its backup lies within this
// one's (or this one's within it), which the rest of this transaction may
// change; then it reads them after its plan.
void FolderTransaction::PauseStarts() {
    const WideString& next = pause_.nextPlace;
    const bool apart = next.empty() || place_.empty() || (!PathWithin(next, place_) && !PathWithin(place_, next));
    if (apart) run_.rolling.ReadAhead(next);
}

// What the script's pause carries besides this folder's read-back (after
// the last folder: the rest of the rolling check), then its end: the
// script asks for this folder's check.
void FolderTransaction::AwaitPauseEnd() {
    if (pause_.alsoDuringPause) pause_.alsoDuringPause();
    scriptWithUs_ = scriptWithUs_ && run_.script.AwaitScript();
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
        const std::vector<ReturnedFile> stuck = ReturnAll();
        LeaveOut(FolderFate::KeptNoRoom, Say(Message::ScriptEnded));
        SayLines(CopyNotRunLines(stuck, folder_));
        run_.scriptFailed = true;
        return false;
    }
    // The script asks again once the copy has ended; the answer lets it pause.
    scriptWithUs_ = script.AwaitScript();
    const std::optional<int> exitCode = scriptWithUs_ ? script.TakeCopyExitCode() : std::nullopt;
    leftAsPlanned_ = CopyLeftBackupAsPlanned(folder_.before, allReadBeforeCopy_, moves_.size(),
                                             exitCode ? &*exitCode : nullptr);
    if (folder_.before.need != 0) run_.copiedSomething = true;
    scriptWithUs_ = scriptWithUs_ && script.Answer(L"on");
    PauseStarts();
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
// replace, settles the lines of what moved, records what went back and what
// the copy did beyond its plan, and says how it went.
// While the script pauses: reads back what the copy wrote, changing
// nothing on the stick.
ReadBackOfCopy FolderTransaction::ReadBack() {
    // The copies' lines go into the run's record as they are found, so that
    // a run that does not finish leaves them on the stick.
    if (begun_) {
        run_.copies.SetRecordedSink([this](const ChecksumRecord& record) {
            KeptEntry checked;
            checked.path = record.relative;
            checked.digest = record.digest;
            checked.size = record.size;
            checked.lastWrite = record.lastWrite;
            sumLines_ += JournalCheckedLine(checked);
            if (sumLines_.size() >= kSumLinesAtOnce) {
                run_.journal.Write(sumLines_);
                sumLines_.clear();
            }
        });
    }
    ReadBackOfCopy readBack = run_.copies.ReadBack(folder_, policy_, place_, copyStarted_, leftAsPlanned_, &known_);
    run_.copies.SetRecordedSink(nullptr);
    return readBack;
}

// Once the pause is over: copies again what read back wrong, puts back the
// earlier versions the copy did not replace, settles the lines of what
// moved, records what went back and what the copy did beyond its plan, and
// says how the folder went.
void FolderTransaction::Check(ReadBackOfCopy readBack) {
    const bool copied = folder_.fate == FolderFate::Mirror;
    CheckFacts facts;
    run_.copies.Mend(folder_, policy_, place_, [&](const StringList& files) { return copied && CopyAgain(files); },
                     &readBack);
    facts.findings = std::move(readBack.findings);
    facts.returned = PutBackWhatWasNotReplaced(moves_, run_.versions.Folder(), policy_);
    run_.versions.Forget(moves_);
    facts.after = std::move(readBack.after);
    facts.after.unreadable.insert(facts.after.unreadable.begin(), folder_.before.unreadable.begin(),
                                  folder_.before.unreadable.end());
    folder_.verified = VerifiedComplete(facts.after) && facts.returned.empty() && readBack.complete;
    facts.verified = folder_.verified;
    // Lines follow the files: those in the set stay there, those back in the backup return to the book.
    run_.lists.SettleMoved();
    StringList back;
    size_t putBack = 0;
    for (const ReturnedFile& file : facts.returned) {
        if (!file.problem.empty()) continue;
        ++putBack;
        back.push_back(run_.lists.RecordPathOf(file.move.from));
    }
    StringList lost;
    StringList late;
    if (!place_.empty()) {
        run_.lists.FolderChecked(place_);
        facts.suspects = run_.rolling.Settle(place_);
        facts.differingKept = std::move(differingKept_);
        for (const WideString& relative : readBack.lost) lost.push_back(Below(place_, relative));
        for (const WideString& relative : readBack.late) late.push_back(Below(place_, relative));
        const StringList gone = run_.lists.GoneUnkeptBelow(place_);
        lost.insert(lost.end(), gone.begin(), gone.end());
    }
    for (const SuspectOutcome& suspect : facts.suspects) {
        if (suspect.repaired) back.push_back(suspect.recordPath);
    }
    for (const WideString& path : lost) {
        facts.lost.push_back(JoinPath(folder_.source, path.substr(std::min(path.size(), place_.size() + 1))));
    }
    RecordAfter(back, lost, late);
    if (!moves_.empty()) run_.lists.SaveSetList(run_.versions.Folder());
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
}

// One folder's backup as one transaction, in the order the README gives:
// the script's pause, the folder's plan (compared with its backup now, just
// before its copy), the check of what the copy will leave alone, its
// earlier versions kept (and room made), its copy, the check of the copy,
// and the return to the backup of every kept file whose replacement did
// not land. The run's record (see records/run_journal.h) gets what the
// folder keeps and adds before anything moves, and what went back after.
// Run is the only way in: no step can be taken out of its turn.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "backup/backup_check.h"
#include "backup/folder_lines.h"
#include "backup/journal_of_run.h"
#include "check/copies_check.h"
#include "check/rolling_check.h"
#include "job/script_session.h"
#include "plan/backup_plan.h"
#include "plan/copy_policy.h"
#include "verify/backup_lists.h"
#include "versions/version_keeping.h"

// What the folders of one run share: the plan, the script, the lists and
// checks, the version set and the run's record, and what the run did so far.
struct RunOfFolders {
    BackupPlan& plan;
    ScriptSession& script;
    BackupLists& lists;
    RollingCheck& rolling;
    CopiesCheck& copies;
    VersionSetOfRun& versions;
    JournalOfRun& journal;
    CopyPolicy policy;
    BackupTally tally = {};
    bool copiedSomething = false;  // a folder with something to copy was copied
    uint64_t leftOutNeed = 0;      // what the folders left out for room need
    bool scriptFailed = false;
    uint64_t bytesCopied = 0;
    uint64_t versionsKept = 0;
    uint64_t setsRemoved = 0;
    // This computer's older sets, walked once when a folder first needs room.
    bool setsKnown = false;
    std::vector<VersionSet> sets = {};
};

// What the script's pause after a folder's copy carries besides its
// read-back: the next folder's place (its picks are read meanwhile), and,
// after the last folder, the rest of the rolling check.
struct PauseAfter {
    WideString nextPlace;
    std::function<void()> alsoDuringPause;
};

class FolderTransaction {
public:
    FolderTransaction(RunOfFolders& run, PlannedFolder* folder, PauseAfter pause);
    FolderTransaction(const FolderTransaction&) = delete;
    FolderTransaction& operator=(const FolderTransaction&) = delete;

    // Backs the folder up, saying each step's lines once it is done. A
    // folder that is not to be copied (unreadable, without room, whose
    // earlier versions cannot be kept or recorded) is skipped after its
    // plan and keeps its backup; one that became empty is still checked.
    // What the copy wrote is read back while the script pauses after it
    // (before the next folder, or at its end); the rest of the check, the
    // put-back included, follows the pause, before the next folder's plan.
    // After the script has ended, every further folder is named as not
    // backed up.
    void Run();

private:
    bool AwaitPause();
    bool Plan();
    void CheckBeforeCopy();
    bool KeepVersions();
    void Skip();
    bool Copy();
    void PauseStarts();
    ReadBackOfCopy ReadBack();
    void AwaitPauseEnd();
    void Check(ReadBackOfCopy readBack);

    // Records the moves' lines and the files the copy adds, then moves the
    // files into the set. False (the folder left out) when either fails.
    bool Keep(std::vector<VersionMove> moves, const WideString& setFolder, KeepFacts* facts);
    // A second look just before the copy, when time passed since the plan:
    // a file saved meanwhile keeps its earlier version too.
    bool LookAgain(const WideString& setFolder, KeepFacts* facts);
    // Whether removing old sets would let the folder fit (they are chosen);
    // else it is left out for want of room.
    bool MakeRoomPossible(uint64_t need);
    // Removes the sets chosen, once the folder's own files are kept; false
    // (its kept files back) when it still does not fit.
    bool MakeRoom(uint64_t need, KeepFacts* facts);
    // Sends every kept file back into the backup (the folder is not
    // copied); returns those that could not go.
    std::vector<ReturnedFile> ReturnAll();
    // The record's entries after the folder: what went back, what was lost,
    // what the copy added beyond the plan; then the folder is done.
    void RecordAfter(const StringList& back, const StringList& lost, const StringList& late);
    // Marks the folder as not backed up for the reason.
    void LeaveOut(FolderFate fate, const WideString& reason);
    // Copies the files again, one by one, through the script.
    bool CopyAgain(const StringList& files);

    RunOfFolders& run_;
    PlannedFolder& folder_;
    PauseAfter pause_;
    CopyPolicy policy_;         // the run's, with the folder's own subfolders left out
    WideString place_;          // its backup's path below the computer's folder; empty for a share's
    WideString recordedPlace_;  // the place the run's record names it by
    std::vector<VersionMove> moves_;
    std::vector<VersionSet> setsToRemove_;
    std::vector<VersionMove> differingKept_;  // moved with other bytes than their sources'
    std::vector<WideString> unrecorded_;
    std::string addLines_;      // the record's lines of the files the copy adds, not yet written
    std::string sumLines_;      // the record's lines of copies read back whole, not yet written
    KnownPaths known_;          // what the copy brings that the plan knows of
    bool begun_ = false;        // the record holds the folder's start
    bool readsBetween_ = false; // files were read between the plan and the moves
    bool allReadBeforeCopy_ = false;
    int64_t copyStarted_ = INT64_MAX;
    bool leftAsPlanned_ = false;
    bool scriptWithUs_ = true;  // the script still answers
};

// Keeping earlier versions on the backup drive (see plan/versions.h), one
// folder at a time: the moves just before its copy, the files put back that
// its copy did not replace, and the removal of old sets when that lets the
// folder be copied. Each step returns what it did; the run says it.
#pragma once

#include <ctime>
#include <set>
#include <string>
#include <vector>

#include "plan/backup_plan.h"
#include "plan/copy_policy.h"
#include "plan/versions.h"
#include "text/wide_string.h"

// The run's version set: named after the run's start when first needed (a
// second later while that name is taken), and the backup files already
// moved into it, so that no file is moved twice in one run.
class VersionSetOfRun {
public:
    VersionSetOfRun(const WideString& versionsFolder, std::tm startTime)
        : versionsFolder_(versionsFolder), startTime_(startTime) {}

    // The set folder, chosen on the first call; empty when no versions can
    // be kept (the computer's name cannot be a folder name).
    WideString Folder();
    // The set's name, or empty while it has none.
    WideString Name() const;
    // The moves of the folder whose backup file has not been moved this run.
    std::vector<VersionMove> NotYetMoved(std::vector<VersionMove> moves) const;
    void Remember(const std::vector<VersionMove>& moves);
    // Forgets the moves whose file is no longer in the set (put back): a
    // folder planned later may keep that file again.
    void Forget(const std::vector<VersionMove>& moves);

private:
    WideString versionsFolder_;
    std::tm startTime_;
    WideString folder_;
    std::set<WideString> moved_;
};

// A kept file sent back to its place in the backup: problem says why it
// could not go (the system's reason), empty when it went back.
struct ReturnedFile {
    VersionMove move;
    WideString problem;
};

// Moves the files into the set (the long form, a rename on the same drive).
// On the first failure moves back what was moved and returns why
// ("could not keep the earlier version of <file>: <reason>"); else empty.
// The files that then could not go back are added to notReturned.
WideString MoveIntoSet(const std::vector<VersionMove>& moves, const WideString& setFolder,
                       std::vector<ReturnedFile>* notReturned = nullptr);

// Moves the files back into the backup, the last first, for a copy that
// did not run, and removes the set folders left empty. Returns each file
// that could not go back (it stays in the set).
std::vector<ReturnedFile> PutBack(const std::vector<VersionMove>& moves, const WideString& setFolder);

// After the folder's copy: every kept file whose replacement did not land
// whole (see PutsBack) goes back to its place in the backup, a partial
// file removed first, and leaves the set. Returns each such file, in the
// moves' order, also when it could not go back.
std::vector<ReturnedFile> PutBackWhatWasNotReplaced(const std::vector<VersionMove>& moves,
                                                    const WideString& setFolder, const CopyPolicy& policy);

// This computer's sets on the drive, each with the bytes removing it frees
// (files rounded up to clusters, links not followed). Another computer's
// sets and anything not named like a set are never listed.
std::vector<VersionSet> VersionSetsOnDrive(const BackupPlan& plan);

// What removing sets for room did: the sets removed, in order, and the one
// whose removal failed (the removals stop there), with the system's reason.
struct SetRemovals {
    std::vector<VersionSet> removed;
    VersionSet notRemoved;
    WideString failure;  // empty when none failed
};

// Removes the sets, oldest first, until one fails; then reads the free
// bytes again.
SetRemovals RemoveVersionSets(const std::vector<VersionSet>& sets, BackupPlan* plan);

// What a run added to the backup, as runs before the run records (see
// records/run_journal.h) wrote it: beside the run's set, "<set folder>.added",
// one path per line below the computer's folder in the checksum lists' form
// (UTF-8, "/", LF). Still read, for the points those runs left.
//   "E:\_Versions_\PC01\2026-12-07_183000" => "E:\_Versions_\PC01\2026-12-07_183000.added"
WideString AddedRecordOf(const WideString& setFolder);

// The set's name of a record's file name, or empty when it names none.
//   "2026-12-07_183000.added" => "2026-12-07_183000"   "2026-12-07_183000.sha256", "x.added" => ""
WideString SetNameOfAddedRecord(const WideString& fileName);

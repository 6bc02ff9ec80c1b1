// What a backup run says of each folder and of its checks, made from what
// each step found, in the order the lines are said. Nothing here touches
// the disk; the folder's transaction says each step's lines once the step
// is done (the script's own output runs between them).
#pragma once

#include <cstdint>
#include <vector>

#include "check/copies_check.h"
#include "check/rolling_check.h"
#include "plan/backup_plan.h"
#include "text/wide_string.h"
#include "verify/backup_lists.h"
#include "versions/version_keeping.h"

// After the plan: why the folder is not backed up (it could not be read),
// that it holds a configured folder, or that it became empty.
StringList PlanLines(const PlannedFolder& folder);

// The rolling check's picks that stay as they are, named DAMAGED.
StringList RollingLines(const std::vector<RollingFinding>& findings, const WideString& drive);

// What keeping the folder's earlier versions and making room did.
struct KeepFacts {
    size_t kept = 0;                       // files moved into the set
    WideString setFolder;
    SetRemovals removals;                  // old sets removed for room
    std::vector<ReturnedFile> notReturned; // kept files that could not go back after a failure
    bool leftOut = false;                  // the folder is not copied (its reason in the plan)
};
// "Kept 3 earlier files of ...", each set removed (or not), each file that
// could not go back, then "Not backed up: ..." when the folder is left out.
StringList KeepLines(const KeepFacts& facts, const PlannedFolder& folder);

// The copy did not run (the script ended): each kept file that could not
// go back, and why the folder is not backed up.
StringList CopyNotRunLines(const std::vector<ReturnedFile>& notReturned, const PlannedFolder& folder);

// What checking the folder after its copy found.
struct CheckFacts {
    TreeComparison after;
    bool verified = false;
    std::vector<CopyFinding> findings;
    std::vector<ReturnedFile> returned;        // kept files sent back (their copy did not land)
    std::vector<SuspectOutcome> suspects;      // changed copies a checked copy replaced
    std::vector<VersionMove> differingKept;    // copies with other bytes kept as earlier versions
    StringList lost;                           // sources whose earlier version the copy replaced unkept
};
// The folder's OK or INCOMPLETE line with its unreadable subfolders, the
// files its check names, the files put back, those over the size cap, and
// what became of its changed copies.
StringList CheckLines(const CheckFacts& facts, const PlannedFolder& folder, const WideString& drive);

// After the last folder: the files the rolling check could not settle.
StringList LeftoverLines(const std::vector<LeftoverFinding>& findings, const WideString& drive);

// "Checked 1,204 files (312.0 MB) on E:: all match", or empty when nothing was read.
WideString RollingLine(const RollingTotals& totals, const WideString& drive);

// "Can't write the checksum list <list>: <reason>", one per list.
StringList ListProblemLines(const std::vector<BackupLists::SaveProblem>& problems);

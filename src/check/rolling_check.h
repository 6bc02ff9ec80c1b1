// The rolling check: each run reads again the backup files read longest
// ago (the choice is the lists', see verify/checksum_book.h: an eighth of
// the files and of the bytes), so that every file is read within eight
// runs. A folder's picks are read on a thread of their own while its plan
// walks (nothing on the stick changes before its earlier versions are
// kept), and judged once the plan is made. A copy whose bytes changed is
// kept aside until a checked copy replaces it; one that is the only copy
// left is named DAMAGED and stays.
#pragma once

#include <cstdint>
#include <thread>
#include <utility>
#include <vector>

#include "plan/backup_plan.h"
#include "plan/copy_policy.h"
#include "text/wide_string.h"
#include "verify/backup_lists.h"

// A picked file whose bytes no longer match its line and that the copy
// cannot replace now.
struct RollingFinding {
    enum class Kind {
        SourceGone,        // the source no longer has it: it is the only copy
        SourceUnreadable,  // the source cannot be read now (problem says why)
    };
    Kind kind = Kind::SourceGone;
    WideString backupPath;
    WideString problem;
};

// A changed copy kept aside, once a checked copy replaced it (or not).
struct SuspectOutcome {
    bool repaired = false;  // the source still had the recorded bytes: the copy had decayed
    WideString source;
    WideString setPath;     // where it stays when not repaired
    WideString recordPath;  // below the computer's folder
};

// What the check says after the last folder of each file it could not settle.
struct LeftoverFinding {
    enum class Kind {
        DamagedRecorded,  // a backup of a folder no longer configured no longer holds its line's bytes
        NotReplaced,      // a changed copy that no copy replaced this run
    };
    Kind kind = Kind::DamagedRecorded;
    WideString backupPath;
};

// The figures of the run's rolling line.
struct RollingTotals {
    uint64_t files = 0;
    uint64_t bytes = 0;
    size_t changed = 0;
    size_t damaged = 0;  // files named DAMAGED
};

class RollingCheck {
public:
    // Picks the files whose turn it is from the run's lists. Times are
    // compared as the copy compares them (the policy's tolerance).
    RollingCheck(BackupLists& lists, const BackupPlan& plan, const CopyPolicy& policy);
    ~RollingCheck() { AwaitReads(); }
    RollingCheck(const RollingCheck&) = delete;
    RollingCheck& operator=(const RollingCheck&) = delete;

    // Before a folder's plan (while the script pauses before it): starts
    // reading the picks below its place (its path below the computer's
    // folder) on a thread of its own, against their lines as they are now;
    // the thread touches nothing else. Asked again for the same place, it
    // goes on as it is.
    void ReadAhead(const WideString& place);
    // Waits until those reads have ended.
    void AwaitReads();

    // After the folder's plan, before anything on the stick changes: waits
    // for those reads and judges each pick. A sound one is read this run;
    // one whose bytes changed (read twice) while its source can replace it
    // is put among the files the copy overwrites (so it is moved into the
    // version set, never deleted) and becomes a suspect. Returns the picks
    // that cannot be replaced now; readNow says whether the judging itself
    // had to read files (time passed since the plan).
    std::vector<RollingFinding> Judge(PlannedFolder* folder, const WideString& place, uint64_t clusterBytes,
                                      bool* readNow);

    // After the folder (its kept files back or staying): each suspect below
    // the place that a checked copy replaced leaves the set when the new
    // bytes are the recorded ones (the stick's copy had decayed), else it
    // stays there as an earlier version.
    std::vector<SuspectOutcome> Settle(const WideString& place);

    // After the last folder: reads the picks no folder read (backups of
    // folders no longer configured) against their lines alone, dropping the
    // lines of files no longer there, and names each suspect not replaced.
    // In two halves: ReadUnjudged may run while the last folder's check is
    // still to be settled; NameUnreplaced follows it.
    std::vector<LeftoverFinding> ReadUnjudged();
    std::vector<LeftoverFinding> NameUnreplaced();

    const RollingTotals& Totals() const { return totals_; }

private:
    // The range of picks below the place.
    std::pair<size_t, size_t> PickedBelow(const WideString& place) const;
    // The file read twice: a read that failed or differed once is read again
    // before the copy is suspected. The first read may have been made ahead.
    FileDigest ReadTwice(const WideString& backupPath, const ChecksumRecord& record,
                         const FileDigest* readAhead = nullptr) const;
    // The read made ahead of the pick, as a read that found the recorded
    // bytes; none when there was no such read.
    bool TakeReadAhead(size_t index, const ChecksumRecord& record, FileDigest* early) const;

    struct Suspect {
        ChecksumRecord recorded;  // its line as it was
        WideString source;
        bool settled = false;
    };
    // A read made ahead: whether it found the bytes the line held when it
    // began (those bytes), and the size and time the open file said.
    struct EarlyRead {
        uint64_t size = 0;
        int64_t lastWrite = 0;
        bool matched = false;
        Digest digest{};
        uint64_t bytes = 0;
    };

    BackupLists& lists_;
    WideString computerFolder_;
    WideString versionsFolder_;
    CopyPolicy policy_;
    std::vector<ChecksumBook::Number> picks_;  // in path order
    std::vector<bool> handled_;                // by index into picks_: judged by a folder
    std::thread reader_;
    WideString aheadPlace_;
    size_t readAheadFirst_ = 0;
    std::vector<EarlyRead> readAhead_;         // for picks_ from readAheadFirst_ on
    std::vector<Suspect> suspects_;
    RollingTotals totals_;
};

// The check of what a folder's copy wrote: every file the copy took is read
// back from the stick itself (past the system's cache) against its source,
// copies in batches on a thread of their own while their sources are read
// here. A wrong copy is removed and copied once more, alone and by name, and
// read again. Before the copy, the backup files the copy leaves alone that
// the lists do not record as they are (a first run, lost lists) are read
// against their sources too, so that other bytes under the same size and
// time are kept as an earlier version, never overwritten unkept.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "plan/backup_plan.h"
#include "plan/copy_policy.h"
#include "plan/tree_compare.h"
#include "stick/stick_keeping.h"
#include "text/wide_string.h"
#include "verify/backup_lists.h"

// One file the check of a copy names.
struct CopyFinding {
    enum class Kind {
        ChangedDuringBackup,  // the source changed while it was copied or read: not damage
        Unreadable,           // the copy could not be read from the stick (problem says why)
        Mismatch,             // the copy, made twice, does not hold the source's bytes
    };
    Kind kind = Kind::Mismatch;
    WideString sourcePath;
    WideString problem;
};

// The files of a folder its plan knows the copy will bring: those it adds
// and those whose earlier versions were moved away (held by a hash of their
// key: 8 bytes a file, however long its path).
class KnownPaths {
public:
    void Add(const WideString& relative);
    bool Has(const WideString& relative) const;

private:
    mutable std::vector<uint64_t> hashes_;
    mutable bool sorted_ = true;
};

// What reading back one folder's copy found.
struct ReadBackOfCopy {
    TreeComparison after;               // the trees as they are after the copy
    std::vector<CopyFinding> findings;  // in the order found
    bool complete = true;               // every file the copy wrote was read back and matches
    // Backup files (relative paths) the copy replaced although the lists
    // recorded them and they were not kept: they changed after the plan.
    StringList lost;
    // Files the copy added that its plan did not know of.
    StringList late;
    // The copies (relative paths) that did not hold their sources' bytes.
    StringList mismatched;
};

class CopiesCheck {
public:
    // Times are compared as the copy compares them (the policy's tolerance).
    CopiesCheck(BackupLists& lists, const CopyPolicy& policy) : lists_(lists), policy_(policy) {}

    // For the walk that plans a folder: notes each backup file the copy
    // would leave alone (same size and time) that the lists do not record
    // as it is; one they record as it is is marked seen.
    TakenFileVisitor UnrecordedVisitor(const WideString& place, std::vector<WideString>* unrecorded);

    // Before the folder's copy: reads each unrecorded file against its
    // source. A match is recorded; other bytes under the same size and time
    // (which side changed cannot be known) make the file an earlier version
    // that the copy then replaces. Returns whether every such file was read
    // and recorded.
    bool CheckUnrecorded(PlannedFolder* folder, const WideString& place, const std::vector<WideString>& unrecorded,
                         uint64_t clusterBytes);

    // After the folder's copy: compares the trees again (with the folder's
    // own policy), reading back each file that is up to date and not
    // recorded as it is; a wrong copy is removed, copied again through
    // copyAgain (given the script's arguments; false when the script could
    // not) and read once more. A copy that left the backup as planned
    // (leftAsPlanned) is not walked again: the plan's comparison stands.
    // known, when given, tells the files the plan knew the copy brings.
    // ReadBack is the first half, which changes nothing on the stick (it
    // may run while the script pauses); Mend the second, which removes the
    // wrong copies, has them copied again and compares the trees once more.
    ReadBackOfCopy ReadBack(const PlannedFolder& folder, const CopyPolicy& folderPolicy, const WideString& place,
                            int64_t copyStarted, bool leftAsPlanned, const KnownPaths* known = nullptr);
    void Mend(const PlannedFolder& folder, const CopyPolicy& folderPolicy, const WideString& place,
              const std::function<bool(const StringList&)>& copyAgain, ReadBackOfCopy* found);

    // What the copies read back just after they were written said of the stick.
    const StickReadBack& Stick() const { return stick_; }
    // Each copy CheckCopy reads back whole and records is handed to the sink
    // as well, with its path below the computer's folder (for the run's
    // record); none when the sink is empty.
    using RecordedSink = std::function<void(const ChecksumRecord& record)>;
    void SetRecordedSink(RecordedSink sink) { recorded_ = std::move(sink); }

private:
    // A copy the walk found to read back, with its source's and its own
    // size and time as the walk listed them.
    struct PendingCopy {
        WideString relative;
        uint64_t sourceSize = 0;
        int64_t sourceWrite = 0;
        uint64_t backupSize = 0;
        int64_t backupWrite = 0;
    };
    // Reads the pending copies, each beside its source, into found.
    void ReadPending(const PlannedFolder& folder, const WideString& place, ReadBackOfCopy* found,
                     StringList* mismatched);
    // Reads each copy made again; those still wrong are removed and named.
    void CheckAgain(const PlannedFolder& folder, const WideString& place, const StringList& mismatched,
                    bool copiedAgain, ReadBackOfCopy* found);

    BackupLists& lists_;
    CopyPolicy policy_;
    std::vector<PendingCopy> pending_;
    StickReadBack stick_;
    RecordedSink recorded_;
    // Records the copy as read back whole, and hands it to the sink.
    void RecordCopy(const WideString& recordPath, uint64_t size, int64_t lastWrite, const Digest& digest);
};

// The copy commands' arguments that copy just these files (relative paths)
// of the folder again, one per file, as the script reads them into a
// variable: "\"<source folder>\" \"<backup folder>\" \"<name>\"". A file
// whose paths the script's code page cannot carry, or that hold a '%' (which
// some interpreters expand again inside a variable's value), is left out: it
// stays named as not matching, and its earlier backup goes back.
//   ("C:\d" -> "E:\b\d", {"x\a.txt"}) => {"\"C:\d\x\" \"E:\b\d\x\" \"a.txt\""}
StringList CopyAgainArguments(const PlannedFolder& folder, const StringList& relatives, unsigned codePage);

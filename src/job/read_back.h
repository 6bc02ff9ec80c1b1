// Reading the backup back from the stick, one folder at a time, around its
// copy: before it, the rolling check of files the copy leaves as they are
// (a changed one is copied again, or named when it is the only copy);
// after it, every file the copy wrote, against its source. The checksum
// lists (verify/checksum_book.h) remember what was read and when.
#pragma once

#include <cstdint>
#include <functional>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

#include "plan/backup_plan.h"
#include "plan/copy_policy.h"
#include "plan/tree_compare.h"
#include "plan/versions.h"
#include "text/wide_string.h"
#include "verify/checksum_book.h"

// What reading back one folder's copy found.
struct FolderReadBack {
    StringList mismatched;  // relative paths whose copy is not the source's bytes
    StringList lines;       // what to say of single files
    bool complete = true;   // every file the copy wrote was read back and matches
};

class ReadBackOfRun {
public:
    // Reads the lists of the plan's computer and picks the files whose
    // turn it is to be read again. Times are compared as the copy compares
    // them (the policy's tolerance: FAT and exFAT keep whole seconds).
    ReadBackOfRun(const BackupPlan& plan, const CopyPolicy& policy);
    ~ReadBackOfRun() { AwaitRollingReads(); }
    ReadBackOfRun(const ReadBackOfRun&) = delete;
    ReadBackOfRun& operator=(const ReadBackOfRun&) = delete;

    // Before the folder's plan: starts reading its files picked for the
    // rolling check on a thread of its own, while the plan walks both trees
    // (nothing on the stick changes before its earlier versions are kept).
    // CheckKeptCopies takes what it read. Until AwaitRollingReads the book
    // only marks files seen, which that thread never reads.
    void StartRollingReads(const PlannedFolder& folder);
    // Waits until those reads have ended: called before anything on the
    // stick may change.
    void AwaitRollingReads();

    // For the walk that plans a folder: notes each backup file the copy
    // would leave alone (same size and time) that the lists do not record
    // as it is, so that CheckUnrecorded reads it before the copy; one they
    // record as it is is marked seen.
    TakenFileVisitor UnrecordedVisitor(const PlannedFolder& folder, std::vector<WideString>* unrecorded);

    // Before the folder's copy: reads back its files picked for the rolling
    // check. One whose bytes changed (read twice) while its source still has
    // the file is put among the files the copy overwrites, so that it is
    // moved into the version set, never deleted, and the copy replaces it;
    // AfterFolder decides whether it stays there. One whose source is gone
    // or cannot be read is named DAMAGED and stays where it is.
    void CheckKeptCopies(PlannedFolder* folder, uint64_t clusterBytes);

    // Before the folder's copy: reads each unrecorded file against its
    // source. A match is recorded; other bytes under the same size and time
    // (which side changed cannot be known) make the file an earlier version
    // that the copy then replaces.
    // Returns whether every such file was read and recorded.
    bool CheckUnrecorded(PlannedFolder* folder, const std::vector<WideString>& unrecorded, uint64_t clusterBytes);

    // For the walk after the copy: reads back each file that is up to date
    // and not recorded as it is, against its source; names a source that
    // changed after the copy began. The files are read a batch at a time,
    // each copy on a thread of its own while the source is read here;
    // FinishCopies reads the last batch once the walk has ended.
    TakenFileVisitor CopiesVisitor(const PlannedFolder& folder, int64_t copyStarted, FolderReadBack* found);
    void FinishCopies(const PlannedFolder& folder, FolderReadBack* found);

    // Removes the copies that did not match, so that the copy can take them
    // again, and, once copied again (copiedAgain), reads them back once more;
    // those still wrong are removed and named.
    void RemoveMismatched(const PlannedFolder& folder, FolderReadBack* found);
    void CheckAgain(const PlannedFolder& folder, bool copiedAgain, FolderReadBack* found);

    // The backup files just moved into the version set take their records
    // along (they come back should a file be put back).
    void MovedIntoSet(const std::vector<VersionMove>& moves);

    // After the folder (its files put back): the files that stayed in the
    // version set take their lines there; the records of files no longer in
    // its backup go when the lists are saved. A changed copy that a checked copy replaced leaves the
    // set when the new bytes are the ones its line recorded (the stick's
    // copy had decayed: "Repaired ..."), else it stays there as an earlier
    // version. Returns the lines to say.
    StringList AfterFolder(const PlannedFolder& folder);

    // After the last folder: reads the picked files no folder of this run
    // read (backups of folders no longer configured, or left out) against
    // their lines alone; a file no longer there loses its line. Names each
    // changed copy that was not replaced this run. Returns the lines to say.
    StringList AfterLastFolder();
    // Earlier versions moved into the set this run and removed again after
    // AfterFolder found the stick's copy had decayed.
    size_t DroppedFromSet() const { return droppedFromSet_; }

    // The line on the rolling check, or empty when nothing was read:
    //   "Checked 1,204 files (312.0 MB) on E:: all match"
    WideString RollingLine() const;
    size_t Damaged() const { return damaged_; }
    // Writes the lists (and the version set's, when files were moved into
    // it). Returns the lines that say what could not be written.
    StringList Save(const WideString& setFolder);
    // The room the lists take, for a folder's fit check.
    uint64_t ListsNeed(const PlannedFolder& folder, uint64_t clusterBytes) const;

private:
    WideString PlaceOf(const PlannedFolder& folder) const;
    WideString RecordPath(const WideString& place, const WideString& relative) const;
    void Record(const WideString& relative, uint64_t size, int64_t lastWrite, const Digest& digest);
    // Records of moved files go to the set's list, or back to the book
    // when their file was put back.
    void SettleMoved();

    // A backup file whose bytes no longer match its line, kept aside until a
    // checked copy has replaced it.
    struct Suspect {
        ChecksumRecord recorded;  // its line as it was
        WideString source;        // the source file
        WideString setPath;       // where it was moved; empty while it was not
        bool settled = false;
    };
    // A file moved into the set, with its record there, and the record the
    // book gets back should the file be put back (none: the book gets none).
    struct Moved {
        WideString setPath;
        ChecksumRecord setRecord;
        bool hasSetRecord = false;
        bool hasBookRecord = false;
        ChecksumRecord bookRecord;
    };
    // The file read twice: a read that failed or differed once is read again
    // before the copy is suspected. The first read may have been made ahead.
    FileDigest ReadTwice(const WideString& backupPath, const ChecksumRecord& record,
                         const FileDigest* readAhead = nullptr) const;
    // The range of selected_ picked below the place.
    std::pair<size_t, size_t> PickedBelow(const WideString& place) const;
    Suspect* SuspectAt(const WideString& recordPath);

    WideString computerFolder_;
    WideString versionsFolder_;
    WideString drive_;
    CopyPolicy policy_;
    ChecksumBook book_;
    std::vector<ChecksumBook::Number> selected_;  // the files picked, in path order
    StringList checkedPlaces_;                  // the backups walked after their copy
    std::vector<bool> handled_;                 // by index into selected_: read by a folder's check
    // A copy the walk after the copy found to read back, with its source's
    // and its own size and time as the walk listed them.
    struct PendingCopy {
        WideString relative;
        uint64_t sourceSize = 0;
        int64_t sourceWrite = 0;
        uint64_t backupSize = 0;
        int64_t backupWrite = 0;
    };
    std::vector<PendingCopy> pendingCopies_;
    // A rolling read made ahead: whether it found the recorded bytes, and
    // the size and time the open file said. Only a read that matched is
    // taken; any other file is read again (twice) by the check itself.
    struct EarlyRead {
        uint64_t size = 0;
        int64_t lastWrite = 0;
        bool matched = false;
    };
    // Those reads, for selected_ from readAheadFirst_ on.
    std::thread reader_;
    size_t readAheadFirst_ = 0;
    std::vector<EarlyRead> readAhead_;
    std::vector<ChecksumRecord> setRecords_;
    std::vector<Moved> moved_;
    std::vector<Suspect> suspects_;
    std::unordered_map<WideString, size_t> suspectAt_;             // lower-cased record path => suspect
    std::unordered_map<WideString, ChecksumRecord> differing_;     // lower-cased record path => the bytes it had
    StringList differingLines_;
    size_t droppedFromSet_ = 0;
    uint64_t rollingFiles_ = 0;
    uint64_t rollingBytes_ = 0;
    size_t rollingBad_ = 0;
    size_t damaged_ = 0;
};

// The copy commands' arguments that copy just these files (relative paths)
// of the folder again, one per file, as the script reads them into a
// variable: "\"<source folder>\" \"<backup folder>\" \"<name>\"". A file
// whose paths the script's code page cannot carry, or that hold a '%' (which
// some interpreters expand again inside a variable's value), is left out: it
// stays named as not matching, and its earlier backup goes back.
//   ("C:\d" -> "E:\b\d", {"x\a.txt"}) => {"\"C:\d\x\" \"E:\b\d\x\" \"a.txt\""}
StringList CopyAgainArguments(const PlannedFolder& folder, const StringList& relatives, unsigned codePage);

// "    C:\KORV\a.txt  (the copy on E: does not match the source)"
WideString MismatchLine(const WideString& sourcePath, const WideString& drive);

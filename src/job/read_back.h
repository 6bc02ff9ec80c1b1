// Reading the backup back from the stick, one folder at a time, around its
// copy: before it, the rolling check of files the copy leaves as they are
// (a changed one is copied again, or named when it is the only copy);
// after it, every file the copy wrote, against its source. The checksum
// lists (verify/checksum_book.h) remember what was read and when.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "plan/backup_plan.h"
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
    // turn it is to be read again.
    explicit ReadBackOfRun(const BackupPlan& plan);

    // Before the folder's copy: reads back its files picked for the rolling
    // check. A changed one whose source still has it is removed (the copy
    // takes it again; its comparison is updated); one whose source is gone
    // is named DAMAGED and stays.
    void CheckKeptCopies(PlannedFolder* folder, uint64_t clusterBytes);

    // For the walk after the copy: reads back each file that is up to date
    // and not recorded as it is, against its source; names a source that
    // changed after the copy began.
    TakenFileVisitor CopiesVisitor(const PlannedFolder& folder, int64_t copyStarted, FolderReadBack* found);

    // Removes the copies that did not match, so that the copy can take them
    // again, and, once copied again (copiedAgain), reads them back once more;
    // those still wrong are removed and named.
    void RemoveMismatched(const PlannedFolder& folder, FolderReadBack* found);
    void CheckAgain(const PlannedFolder& folder, bool copiedAgain, FolderReadBack* found);

    // The backup files just moved into the version set take their records
    // along (they come back should a file be put back).
    void MovedIntoSet(const std::vector<VersionMove>& moves);

    // After the folder: the files that stayed in the version set take
    // their lines there; the records of files no longer in its backup go;
    // the files repaired before the copy are said. Returns the lines to say.
    StringList AfterFolder(const PlannedFolder& folder);

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
    void Record(const WideString& relative, const FolderEntry& backup, const Digest& digest);
    // Records of moved files go to the set's list, or back to the book
    // when their file was put back.
    void SettleMoved();

    WideString computerFolder_;
    WideString drive_;
    ChecksumBook book_;
    std::vector<WideString> selected_;
    std::vector<WideString> seen_;             // recorded paths read or up to date this run (lower-cased)
    std::vector<ChecksumRecord> setRecords_;
    std::vector<std::pair<WideString, ChecksumRecord>> moved_;  // place in the set, record
    StringList repaired_;                      // record paths copied again
    uint64_t rollingFiles_ = 0;
    uint64_t rollingBytes_ = 0;
    size_t rollingBad_ = 0;
    size_t damaged_ = 0;
};

// "    C:\KORV\a.txt  (the copy on E: does not match the source)"
WideString MismatchLine(const WideString& sourcePath, const WideString& drive);

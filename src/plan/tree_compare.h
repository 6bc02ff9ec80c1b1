// Comparing a source tree with its backup one folder at a time, as the copy
// tool's mirror sees them: which source files it copies (new or changed),
// which backup files it overwrites and which it deletes (extra files, and
// everything in extra folders). The caller lists one folder of each tree,
// hands both listings here, and goes on with the subfolders this returns,
// so that no more than one folder's listing is held at a time.
//
// How the mirror treats names, mirrored from the copy tool:
// - A source file with an excluded name is not copied, and a backup file of
//   that name is neither extra nor deleted. A source file over the size cap
//   is not copied; its old copy stays.
// - A source folder with an excluded name, or a junction, is not entered;
//   a backup folder of that name stays.
// - A backup file with no source file of its name is deleted unless its name
//   is excluded; a backup folder with no source folder of its name is
//   deleted with everything in it unless its name is excluded.
// - A source file where the backup has a folder replaces that folder.
// - A backup folder that is a link (junction or symbolic link) is never
//   entered: extra, it is deleted itself; where the source has a folder of
//   its name, that subfolder is left out (named in unreadable).
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "plan/copy_policy.h"
#include "text/wide_string.h"

// One entry of a folder listing.
struct FolderEntry {
    WideString name;  // as the file system spells it
    WideString key;   // the name lower-cased: entries are sorted and matched by it
    bool directory = false;
    bool reparsePoint = false;
    uint64_t size = 0;
    int64_t lastWrite = 0;  // 100 ns units since 1601
};
using FolderEntries = std::vector<FolderEntry>;

// A backup file the copy will replace or delete.
struct BackupFile {
    WideString relative;  // below the backup folder
    uint64_t size = 0;
    int64_t lastWrite = 0;
};

// What comparing the whole trees found.
struct TreeComparison {
    uint64_t files = 0;          // source files the copy takes
    uint64_t upToDate = 0;       // of those, in the backup as they are in the source
    uint64_t bytesToCopy = 0;    // the others' sizes
    uint64_t need = 0;           // the same, each rounded up to whole clusters, and a
                                 // cluster for each folder the copy creates
    WideString firstMissing;     // the first file not up to date (relative path)
    StringList overSizeCap;      // source files not copied by the size cap
    std::vector<BackupFile> overwritten;
    std::vector<BackupFile> deleted;
    // Why a tree could not be read, in a few words; empty when it was:
    //   "the folder is gone", "could not be read: Access is denied",
    //   "its backup could not be read: ..."
    WideString sourceProblem;
    WideString backupProblem;
    // Subfolders that could not be listed, on either side: left out of the
    // comparison (nothing in them is copied, overwritten or deleted).
    struct Unreadable {
        WideString relative;
        WideString problem;  // "could not be read: Access is denied", "its backup could not be read: ..."
    };
    std::vector<Unreadable> unreadable;

    uint64_t MissingOrOlder() const { return files - upToDate; }
    bool Read() const { return sourceProblem.empty() && backupProblem.empty(); }
};

// A pair of folders still to compare, at the same path below both roots.
struct FolderPair {
    WideString relative;  // "" for the roots
    bool inSource = true;
    bool inBackup = true;
    // The backup folder is extra: everything in it is deleted.
    bool purged = false;
};

// Sees each source file the copy takes, with what the backup has in its
// place (null when no file), and whether that is up to date.
using TakenFileVisitor = std::function<void(const WideString& relative, const FolderEntry& source,
                                            const FolderEntry* backup, bool upToDate)>;

// Compares one folder of both trees (each listing sorted by key; an absent
// side given empty) into the comparison; returns the subfolders to compare
// next, in key order. clusterBytes rounds the need (0 or 1: no rounding).
std::vector<FolderPair> CompareFolder(const CopyPolicy& policy, uint64_t clusterBytes,
                                      const FolderPair& pair, const FolderEntries& source,
                                      const FolderEntries& backup, TreeComparison* comparison,
                                      const TakenFileVisitor& visit = nullptr);

// The size rounded up to whole clusters.  (1, 4096) => 4096   (0, 4096) => 0
uint64_t RoundUpToCluster(uint64_t size, uint64_t clusterBytes);

// Sorts a listing by key (the order CompareFolder needs).
void SortByKey(FolderEntries* entries);

// Lists one folder of one tree: the folder at the relative path below the
// source root (inBackup false) or the backup root (true), sorted by key.
// Returns false with the problem in a few words when it cannot be read; a
// missing folder is empty, except a missing source root, which is a
// problem ("the folder is gone").
using FolderLister = std::function<bool(bool inBackup, const WideString& relative,
                                        FolderEntries* entries, WideString* problem)>;

// Compares the whole trees, one pair of folders at a time, depth first in
// key order (so firstMissing is the first in that order). A root that
// cannot be read ends the walk with its problem in the comparison; a
// subfolder that cannot be read on either side is left out and named in
// unreadable, and the walk goes on. A backup's problem is prefixed with
// "its backup ".
TreeComparison CompareTreesWith(const CopyPolicy& policy, uint64_t clusterBytes,
                                const FolderLister& list, const TakenFileVisitor& visit = nullptr);

// The lines that say how a backup went: one per folder after the copy, and
// the verdict.
#pragma once

#include <cstdint>

#include "plan/tree_compare.h"
#include "text/wide_string.h"

// The line for a folder checked after its copy:
//   "OK  <folder>  <n> files"
//   "INCOMPLETE  <folder>  <n> files, <m> missing or older, first: <path>"
//   "INCOMPLETE  <folder>  (<why it could not be read>)", e.g.
//   "INCOMPLETE  C:\KORV\Data  (the folder is gone)"
//   "INCOMPLETE  <folder>  <n> files, 1 folder could not be read[, <m> missing or older, first: <path>]"
// and for each subfolder that could not be read a line of its own:
//   "    C:\Users\u\Documents\private  (could not be read: Access is denied)"
// A folder the comparison finds complete but whose read-back was not
// (complete false) says INCOMPLETE, never OK.
StringList VerificationLines(const WideString& folder, const TreeComparison& after, bool complete = true);
WideString VerificationLine(const WideString& folder, const TreeComparison& after, bool complete = true);

// Whether the comparison after the copy shows a complete backup: every
// folder read, every file the copy takes in the backup.
bool VerifiedComplete(const TreeComparison& after);

// Whether a folder's copy left its backup exactly as its plan found it, so
// that the plan's comparison is the check: the plan found every file up to
// date and nothing to overwrite, delete or leave out, every file the lists
// did not record was read back before the copy, nothing was kept aside,
// and the copy tool said it copied, deleted and found nothing (exit code 0).
// Any doubt (no exit code) means the walk after the copy is made.
bool CopyLeftBackupAsPlanned(const TreeComparison& before, bool allReadBeforeCopy, size_t keptAside,
                             const int* copyExitCode);

// How the whole run went.
struct BackupTally {
    size_t folders = 0;            // folders checked after the copy
    uint64_t files = 0;            // their files
    size_t incompleteFolders = 0;  // of those, not complete
    uint64_t missingFiles = 0;     // files missing or older in them
    size_t notBackedUp = 0;        // configured folders not backed up
    bool folderListWritten = true;
    size_t damagedFiles = 0;       // backup files whose bytes changed, with no source left to copy again
    bool checksumListWritten = true;
    bool runRecordWritten = true;  // the run's record on the stick is whole
    bool stickKeepsWrites = true;  // the stick gave back what the run wrote

    bool Complete() const {
        return incompleteFolders == 0 && notBackedUp == 0 && folderListWritten && damagedFiles == 0 &&
               checksumListWritten && runRecordWritten && stickKeepsWrites;
    }
};

// What a run did, for its verdict.
struct RunFigures {
    uint64_t bytesCopied = 0;
    uint64_t versionsKept = 0;
    uint64_t seconds = 0;
    uint64_t freeBytes = 0;
    WideString drive;  // "E:"
};

// The verdict, the last line of a run:
//   "Backup complete: 11 folders, 3,204 files; 12.3 MB copied, 2 earlier versions kept, in 41 s; 9.8 GB free on E:"
//   "Backup INCOMPLETE: 1 of 3 folders incomplete (2 files missing or older), 1 folder not backed up;
//    0.0 MB copied, 0 earlier versions kept, in 3 s; 9.8 GB free on E:"
//   "Backup INCOMPLETE: the folder list was not written; ..."
//   "Backup INCOMPLETE: 1 damaged file, the checksum list was not written; ..."
WideString VerdictLine(const BackupTally& tally, const RunFigures& figures);

// "The backup needs 3.2 GB more than E: has free; nothing was copied"
WideString ShortfallLine(uint64_t missingBytes, const WideString& drive);

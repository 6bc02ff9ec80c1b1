// This run's record on the stick (see records/run_journal.h): made when the
// run first changes the backup, named after the run's set and numbered one
// more than the highest run this computer's records hold. Every write is on
// the stick, read back, before the change it protects is made.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "records/run_journal_file.h"
#include "verify/checksum_book.h"
#include "text/wide_string.h"
#include "versions/version_keeping.h"

// Forgets the book's lines of the files that runs which did not finish
// (their records newer than the lists) kept, added or lost: those lines
// are older than the files, which are then read again as new.
void ForgetWhatUnfinishedRunsChanged(const WideString& versionsFolder, ChecksumBook* book);

class JournalOfRun {
public:
    // started: the run's start as a person reads it, "2026-12-07 18:30:00".
    JournalOfRun(VersionSetOfRun& versions, const WideString& versionsFolder, const WideString& started)
        : versions_(versions), versionsFolder_(versionsFolder), started_(started) {}

    // Writes the lines, making the record first. Empty when they are on the
    // stick whole, else why not (then nothing more is written).
    WideString Write(const std::string& lines);

    // A folder's entries before anything of it moves: what it keeps (each
    // with the bytes of its line) and adds, then its start.
    WideString BeginFolder(const WideString& place, const std::vector<KeptEntry>& kept, const std::string& addLines);
    // A folder's entries once it is done: the lines of copies read back
    // whole not yet written (begun: the folder has its start), what went
    // back, what the copy replaced unkept, what it added beyond its plan.
    // A failure is kept for the run's end, which says it.
    void EndFolder(const WideString& place, bool begun, const std::string& sumLines, const StringList& back,
                   const StringList& lost, const StringList& late);
    // The record was made: its number and its file.
    bool Made() const { return writer_.Created(); }
    uint64_t Run() const { return run_; }
    WideString Path() const { return path_; }
    // The reason the first write that failed gave; empty while none did.
    const WideString& Failure() const { return failure_; }

private:
    VersionSetOfRun& versions_;
    WideString versionsFolder_;
    WideString started_;
    RunJournalWriter writer_;
    uint64_t run_ = 0;
    WideString path_;
    WideString failure_;
};

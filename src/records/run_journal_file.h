// The run records on the stick (see records/run_journal.h): their names
// beside the sets, the next run's number, and the writing of one record as
// the run goes, each entry flushed and read back from the stick itself
// before the change it protects is made.
#pragma once

#include <cstdint>
#include <string>

#include "records/run_journal.h"
#include "text/wide_string.h"

// "E:\_Versions_\PC01\2026-12-07_183000" => "E:\_Versions_\PC01\2026-12-07_183000.run.txt"
WideString RunJournalOf(const WideString& setFolder);

// The set's name of a record's file name, or empty when it names none.
//   "2026-12-07_183000.run.txt" => "2026-12-07_183000"   "x.run.txt", "2026-12-07_183000.added" => ""
WideString SetNameOfRunJournal(const WideString& fileName);

// Reads the record at the path; false when it is not there or could not be
// read to its end (nothing of it is then taken for whole).
bool ReadRunJournalFile(const WideString& path, RunJournal* journal, bool withSums = false);

// Reads the head of the record at the path (its run number, name and
// start): enough to order it; false when it has none.
bool ReadRunJournalHead(const WideString& path, RunJournal* journal);

// The highest run number the records in this computer's folder of sets
// hold (0 when there are none), into highest. False, with the record and the
// system's reason in problem, when a record cannot be read (another program
// holding it is waited for a moment): the next number cannot be known then.
bool HighestRecordedRun(const WideString& versionsFolder, uint64_t* highest, WideString* problem);

// Whether the bytes at the offset of the file read back, from the stick
// itself (past the system's cache), as the bytes given; the system's
// reason, or that they differ, in problem when they do not.
bool ReadsBackAs(const WideString& path, uint64_t offset, const std::string& bytes, WideString* problem);

// One run's record, written a step at a time.
class RunJournalWriter {
public:
    // Creates the record as a new file (never over one) with its head.
    // Returns the system's reason when it could not be written whole.
    WideString Create(const WideString& path, uint64_t run, const WideString& started, const WideString& name);
    // Adds the lines at the record's end, flushed to the stick and read
    // back from it. Returns why not when they are not on the stick whole;
    // after that, nothing more is added.
    WideString Append(const std::string& lines);

    bool Created() const { return !path_.empty(); }
    const WideString& Path() const { return path_; }

private:
    WideString path_;
    uint64_t size_ = 0;  // the bytes written and read back
    WideString broken_;  // why a write did not land, once one did not
};

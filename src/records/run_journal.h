// The record a backup run keeps of itself on the stick, beside its version
// set and named after it: "_Versions_\PC01\2026-12-07_183000.run.txt". A
// restore rebuilds an earlier day from these records alone, so a run writes
// each entry before the change it protects, as a database journals a
// transaction, and closes the record at its end; a record without its end
// is a run that was interrupted, and what it recorded still counts.
//
// Plain text, UTF-8, LF, one entry a line, fields apart by a TAB, paths in
// the checksum lists' form (below the computer's folder, "/" between names):
//
//   brisk run record 1
//   # (lines that start with "#" say what the entries mean, for a person)
//   run     7                          one more than the highest run on the stick
//   started 2026-12-07 18:30:00        the clock's time: a label only
//   set     2026-12-07_183000
//   folder  C/KORV/Data                a folder's entries follow...
//   keep    <sha-256> <size> <time> C/KORV/Data/sheet.xls     moved into the set
//   keep-network <sha-256> <size> <time> srv/share/x/a.txt   a network folder's, below _Backup_
//   add     C/KORV/Data/new.txt        the copy adds it
//   start   C/KORV/Data                ...and are on the stick: the moves and the copy begin
//   back    C/KORV/Data/sheet.xls      a kept file went back (its copy did not land) or was not kept after all
//   lost    C/KORV/Data/other.txt      replaced or removed by the copy before its earlier version could be kept
//   add     C/KORV/Data/late.txt       after "start": added by the copy beyond its plan
//   sum     <sha-256> <size> <time> C/KORV/Data/new.txt       a copy read back and found whole
//   done    C/KORV/Data
//   end     complete 0                 the run's result and exit status
//
// A folder's entries before its "start" count only once "start" is there:
// they are written and read back before anything of that folder moves. The
// "sum" lines give the checksum lists' lines of what the run copied until
// the lists themselves are written at its end.
// Nothing here touches the disk.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "script/file_lines.h"
#include "text/wide_string.h"
#include "verify/file_digest.h"

// A file the run moved into its set, with the bytes it held.
struct KeptEntry {
    WideString path;  // below the computer's folder ("C\KORV\a.txt"); for a network folder's, below _Backup_
    Digest digest{};
    uint64_t size = 0;
    int64_t lastWrite = 0;
    bool network = false;
};

// What a run's record says.
struct RunJournal {
    bool readable = false;  // its first line and its run number were read
    bool whole = true;      // every line read; false when one did not (its entries cannot be trusted)
    uint64_t run = 0;
    WideString name;        // the set's name, "2026-12-07_183000"
    WideString started;     // "2026-12-07 18:30:00"
    bool closed = false;    // it has its end: the run finished
    WideString result;      // "complete", "incomplete", "not made"
    int exitStatus = -1;
    std::vector<KeptEntry> kept;  // of the folders that started
    StringList added;
    StringList returned;
    StringList lost;
    std::vector<KeptEntry> checked;  // the "sum" lines, when asked for
};

// The record's text, read: whatever it holds up to a line cut short (a
// write that did not end). A line longer than any path (kLongestLine) or
// one that does not read makes the record not whole. Lines of entries it
// does not know are left alone.
// withSums keeps the "sum" lines (only a run the lists do not hold needs them).
RunJournal ReadRunJournal(const std::string& text, bool withSums = false);

// The entries of one folder, kept back until its "start" says they are whole.
struct PendingEntries {
    std::vector<KeptEntry> kept;
    StringList added;
};

// Reads a record piece by piece as ReadRunJournal reads it whole, so that a
// large record (a first backup's, a line for every file) is never held whole.
class RunJournalReader {
public:
    explicit RunJournalReader(bool withSums);
    // Its cutter calls back into this very reader.
    RunJournalReader(const RunJournalReader&) = delete;
    RunJournalReader& operator=(const RunJournalReader&) = delete;
    void Feed(const char* bytes, size_t size);
    // The record as read; a last line without its end was cut short and is left out.
    RunJournal Finish();

private:
    void Read(const std::string& line);

    bool withSums_;
    RunJournal journal_;
    PendingEntries pending_;
    bool started_ = false;  // the folder being read has its "start"
    bool first_ = true;     // its head is still to come
    std::string head_;      // the head's bytes so far
    bool refused_ = false;  // its head is not a record's
    LineCutter cutter_;
};

// The lines a run writes, each ended by LF:
std::string JournalHead(uint64_t run, const WideString& started, const WideString& name);
std::string JournalFolderLine(const WideString& place);           // "folder\tC/KORV/Data\n"
std::string JournalKeptLine(const KeptEntry& kept);
std::string JournalCheckedLine(const KeptEntry& checked);  // "sum\t..."
std::string JournalPathLine(const char* word, const WideString& path);  // "add", "back", "lost"
std::string JournalStartLine(const WideString& place);
std::string JournalDoneLine(const WideString& place);
std::string JournalEndLine(const WideString& result, int exitStatus);

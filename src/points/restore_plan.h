// Bringing a backed-up day back: which bytes, from where on the stick, to
// where. A day's state is rebuilt backwards from today's backup: each later
// run, newest first, gets back what it kept in its set of earlier versions
// and loses what it added. So, for each path, the earliest run after the
// point that touched it decides: kept by it, the file comes from its set;
// added by it, the file was not there; replaced by it before its earlier
// version could be kept, the file is named; touched by none, it is today's
// backup file. What each run did comes from its own record (see
// records/run_journal.h), in the order of the runs' numbers, whatever the
// clock said; runs from before the records are read from their sets, their
// records of added files and the history. Nothing here touches the disk.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

#include "text/wide_string.h"
#include "verify/file_digest.h"

// A file as the stick has it: found by the walk of its folder, named by
// its checksum list, or both.
struct StoredFile {
    WideString relative;  // below the computer's folder (for a set: below the set folder)
    bool onStick = false;
    uint64_t size = 0;
    bool listed = false;
    Digest digest{};
    // Its line is older than the file: a run that did not finish changed it
    // after the lists were written (the next backup records it).
    bool stale = false;
    // Its earlier version could not be kept: the run after the point
    // replaced it while it changed (no bytes of it are on the stick).
    bool lost = false;
};

// What one run left beside its set's name: the set (earlier versions it
// kept) and the record of the files it added, either or both.
struct RunRecords {
    WideString name;  // "2026-12-07_183000"
    bool hasSet = false;
    std::vector<StoredFile> kept;
    bool hasAdded = false;
    StringList added;  // paths below the computer's folder
    // The run kept a record of its own: its number, its start as the clock
    // said it, whether the record reads whole and has its end, and the
    // files it replaced before their earlier versions could be kept.
    bool recorded = false;
    uint64_t run = 0;
    WideString started;
    bool whole = false;
    bool finished = false;
    StringList lost;
    // Earlier versions of network folders, kept apart from the computer's
    // own: checked, never restored (a network folder is no part of it).
    std::vector<StoredFile> network;
    // The lines of the copies it read back whole, for a run the checksum
    // lists do not hold yet (its lines are the backup's until the lists are).
    std::vector<StoredFile> checked;
};

// A run the history names.
struct HistoryRun {
    WideString name;       // its start in a set's form, "2026-12-07_183002"
    bool changed = false;  // it copied bytes or kept earlier versions
};

struct StickRecords {
    std::vector<HistoryRun> history;  // oldest first
    std::vector<RunRecords> records;  // by name
    // The number of the last run whose changes the checksum lists hold (0
    // for lists from before the runs' records).
    uint64_t listsRun = 0;
    std::vector<StoredFile> backup;   // today's backup of the computer
    // Its folders that hold nothing: nothing records when they came, so each
    // point gets them back (a folder whose files came later is not empty).
    StringList emptyFolders;
};

// A point that can be asked for: the state after one run.
struct RestorePoint {
    WideString name;       // the run's start, "2026-12-07_183002" (its set's name when it kept a record)
    int records = -1;      // its records (index), or -1 when it left none
    bool changed = false;  // the run changed the backup
    // Every later run that changed the backup still has its records, whole,
    // with what it kept still in its set.
    bool complete = false;
    uint64_t run = 0;         // its number, when it kept a record of its own
    bool interrupted = false; // its record has no end: the run did not finish
    // Why it is not complete: what a later run lacks.
    enum class Doubt { None, VersionsGone, RecordGone, RecordNotWhole };
    Doubt doubt = Doubt::None;
    uint64_t added = 0;     // files the run added,
    uint64_t replaced = 0;  // overwrote (kept, and there after it)
    uint64_t removed = 0;   // and deleted (kept, and gone after it)
};

// The points, oldest first: the runs from before the runs' records (every
// run of the history then, with the records left by each: a record no
// history run claims is a point of its own, a run's records those named
// from its start on, before the next run), then each run that kept a record
// of its own, in the order of their numbers.
std::vector<RestorePoint> RestorePoints(const StickRecords& stick);

// The latest point name at or before which a /at: value asks for, in a
// set's form: a date alone means the end of that day. Empty when the value
// is neither form or names no real day or time of day.
//   "2026-12-07" => "2026-12-07_235959"   "2026-12-07_183000" => "2026-12-07_183000"
//   "2026-12-07 18:30:00", "2026-12-07T18:30:00" => "2026-12-07_183000"
//   "7.12.2026", "2026-12-07_1830", "2026-12-32", "2026-21-07", "2026-02-29", "2026-12-07_246000" => ""
//   "2028-02-29" => "2028-02-29_235959"
WideString PointLimitOf(const WideString& at);

// The point named as the limit, else the last point (in the runs' order)
// whose run started at or before it by the clock, or -1.
int ChoosePoint(const std::vector<RestorePoint>& points, const WideString& limit);

// The earliest point that is complete (the last one always is), or -1 when
// there are none.
int EarliestCompletePoint(const std::vector<RestorePoint>& points);

// Whether the character is a drive's letter: A to Z in either case, never
// another alphabet's letter ("Ä", a full-width "Ｃ").
bool IsDriveLetter(wchar_t c);

// A folder or file named as it was on the backed-up computer, as its path
// below the computer's folder; empty when it is not such a path.
//   "C:\KORV\Data" => "C\KORV\Data"   "c:\KORV\Data\" => "C\KORV\Data"   "C:\" => "C"
//   "KORV\Data", "\\srv\s\x", "C:\a\..\b" => ""
WideString PlaceOfOriginal(const WideString& path);

// Where a path below the computer's folder was backed up from, or empty
// when it does not start with a drive's letter.
//   "C\KORV\a.txt" => "C:\KORV\a.txt"   "srv\share\a", "Ä\a" => ""
WideString OriginalOfPlace(const WideString& relative);

// One file to bring back (or, when file->lost, to name).
struct RestoreItem {
    // As the stick has it, below the computer's folder (for a set: below the
    // set's folder, the same path): one of the stick's records, or the plan's
    // own for a file whose earlier version was lost.
    const StoredFile* file = nullptr;
    int fromRecords = -1;  // the records whose set holds it, or -1 for today's backup
    WideString target;     // where it goes; empty when it has no such place
};

// The plan points into the stick's records it was made from, which outlive it.
struct RestorePlan {
    RestorePlan() = default;
    RestorePlan(RestorePlan&&) = default;
    RestorePlan& operator=(RestorePlan&&) = default;
    // A copy's items would point into the other plan's lost files.
    RestorePlan(const RestorePlan&) = delete;
    RestorePlan& operator=(const RestorePlan&) = delete;

    std::vector<RestoreItem> items;  // in path order
    StringList emptyFolders;         // where the empty folders go
    uint64_t bytes = 0;
    // The files named as lost, which have no record of their own to point to
    // (a deque, so that they stay where they are as it grows).
    std::deque<StoredFile> lostFiles;
};

// The files of the point (below only, a path below the computer's folder,
// when not empty), each with its place: targetOf maps a path below the
// computer's folder to where it is restored.
RestorePlan PlanRestore(const StickRecords& stick, const std::vector<RestorePoint>& points, int point,
                        const WideString& only, const std::function<WideString(const WideString&)>& targetOf);

// Lets go of the paths the runs at or before the point added, which its
// plan never reads: a first backup's record names every file it copied.
void ForgetAddedBefore(StickRecords* stick, const std::vector<RestorePoint>& points, int point);

// The longest name the file systems of targets take (NTFS, exFAT, FAT32),
// in UTF-16 units.
constexpr size_t kNameLimit = 255;

// The name an existing file takes beside itself before a restored one
// replaces it:  ("D:\x\sheet.xls", "2026-12-08_091500") =>
//   "D:\x\sheet (before restore 2026-12-08_091500).xls";  a name without an
// extension (or a leading dot only) gets the words at its end. A name that
// would pass kNameLimit loses the end of its stem.
WideString BeforeRestoreName(const WideString& path, const WideString& stamp);

// "2026-12-07_183002" => "2026-12-07 18:30:02" (as a person reads it)
WideString PointText(const WideString& name);

// What the program knows of the bytes of this computer's backup files: for
// each file its SHA-256, the size and time it had when that was recorded,
// and the run that last read it back from the stick.
//
// Two files beside the folder list keep it:
//   "_Backup_\PC01.sha256"  one line per file in the text form sha256sum
//       reads: 64 lower-case hex digits, two blanks, the path below
//       "_Backup_\PC01" with "/" separators, UTF-8, LF; "sha256sum -c"
//       run in "_Backup_\PC01" (or PowerShell's Get-FileHash) checks it.
//   "_Backup_\PC01.sha256.runs"  the program's own part: the number of the
//       last run, then per file its size, time and the run that read it.
// A version set gets a list of the same form for the files moved into it.
// Nothing here touches the disk.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "text/wide_string.h"
#include "verify/file_digest.h"

struct ChecksumRecord {
    WideString relative;  // below the computer's folder, "\" separators, as spelled
    Digest digest{};
    uint64_t size = 0;       // of the backup file when recorded
    int64_t lastWrite = 0;   // 100 ns units since 1601
    uint64_t checkedRun = 0; // the run that last read it back
    bool seen = false;       // found in the backup this run (not kept in the lists)
};

class ChecksumBook {
public:
    // The number of this run: one more than the last one recorded.
    uint64_t Run() const { return run_; }
    void SetRun(uint64_t run) { run_ = run; }

    const ChecksumRecord* Find(const WideString& relative) const;
    void Put(const ChecksumRecord& record);
    void Remove(const WideString& relative);
    // Notes that the file is in the backup as recorded.
    void MarkSeen(const WideString& relative);
    // Drops the records below the folder (a path below the computer's
    // folder) that were not seen this run, unless stillThere says the file
    // is in the backup as recorded (put back after a failed copy, say).
    void DropUnseenBelow(const WideString& folder, const std::function<bool(const ChecksumRecord&)>& stillThere);
    size_t Size() const { return records_.size(); }
    uint64_t Bytes() const;  // the sizes of all the files recorded

    // Every record, sorted by path (the order the lists are written in).
    std::vector<const ChecksumRecord*> Sorted() const;

private:
    uint64_t run_ = 1;
    std::unordered_map<WideString, ChecksumRecord> records_;  // by the lower-cased path
};

// "3f...a1  C/KORV/Data/a b.txt"  (from "C\KORV\Data\a b.txt")
std::string ChecksumLine(const Digest& digest, const WideString& relative);
// The program's own line for a record: "<size> <time> <run> <path>".
std::string RunsLine(const ChecksumRecord& record);

// The lists' texts, one line per record in path order, each ended by LF;
// the runs list starts with "run <number of this run>".
std::string ChecksumListText(const ChecksumBook& book);
std::string RunsListText(const ChecksumBook& book);
// The lines for a version set: each record's line.
std::string ChecksumListText(const std::vector<ChecksumRecord>& records);

// Whether a path from a list stays below the computer's folder: relative,
// names only (no "..", ".", empty name, drive letter or stream colon), so
// that a line never makes the program read, move or remove anything
// elsewhere on the stick.
//   "C\KORV\a.txt" => true   "..\PC02\a.txt", "C\..\..\x", "\x", "E:\x", "C\\x", "" => false
bool IsRecordPathBelow(const WideString& relative);

// The book from both lists' texts. A file named in one list and not in the
// other, any line that does not read, and any path that leaves the
// computer's folder are left out (a file is then read back again as if
// new; a line elsewhere is dropped). The run is one more than the runs list's.
ChecksumBook BookFromLists(const std::string& checksums, const std::string& runs);

// The bytes a run reads back of what its copy did not touch: all of a
// backup under 256 MB, else an eighth of it (rounded up), so that every
// file is read again within eight runs.
uint64_t RollingBudget(uint64_t backupBytes);

// The files to read back this run, by path: those read longest ago first
// (oldest run, then path), until the budget is reached; the last one taken
// may go past it.
std::vector<WideString> RollingSelection(const ChecksumBook& book, uint64_t budget);

// The room the two lists take when written anew (beside the old ones until
// each replaces its old one): what they hold now and a line for each new
// file, in whole clusters.
uint64_t ChecksumListsNeed(uint64_t recordedFiles, uint64_t newFiles, uint64_t clusterBytes);

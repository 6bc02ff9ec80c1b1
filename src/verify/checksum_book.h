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
#include <optional>
#include <string>
#include <vector>

#include "text/wide_string.h"
#include "verify/book_storage.h"
#include "verify/checksum_lines.h"
#include "verify/file_digest.h"

struct ChecksumRecord {
    WideString relative;  // below the computer's folder, "\" separators, as spelled
    Digest digest{};
    uint64_t size = 0;       // of the backup file when recorded
    int64_t lastWrite = 0;   // 100 ns units since 1601
    uint64_t checkedRun = 0; // the run that last read it back
    bool seen = false;       // found in the backup this run (not kept in the lists)
};

// The records, kept compactly: a backup of 100,000 files must not cost more
// memory than a small record per file. Each path is stored once, in UTF-8,
// in one arena; a record's fixed part is 64 bytes; an open-addressing table
// of slot numbers finds a path whatever its letter case.
class ChecksumBook {
public:
    // The number of this run: one more than the last one recorded.
    uint64_t Run() const { return run_; }
    void SetRun(uint64_t run) { run_ = run; }
    // The highest run record (see records/run_journal.h) whose changes the
    // lists hold: a record of a later run was not taken into them (its run
    // did not finish), so their lines of the files it touched are old.
    uint64_t RecordedRun() const { return recordedRun_; }
    void SetRecordedRun(uint64_t run) { recordedRun_ = run; }

    std::optional<ChecksumRecord> Find(const WideString& relative) const;
    // Adds or replaces the record of its path (none for a path that holds a NUL).
    void Put(const ChecksumRecord& record);
    void Remove(const WideString& relative);
    // Notes that the file is in the backup as recorded.
    void MarkSeen(const WideString& relative);
    // Whether the book records the file with this size and time; if so it
    // is marked seen. One lookup, no record built: the walk after each copy
    // asks this of every file.
    bool SeenAsRecorded(const WideString& relative, uint64_t size, int64_t lastWrite);
    // The same without marking it.
    bool RecordedAs(const WideString& relative, uint64_t size, int64_t lastWrite) const;
    // What the book holds of the file against this size and time: no
    // record, the file as recorded (then marked seen), or another.
    enum class Seen { Unrecorded, AsRecorded, Other };
    Seen SeeAs(const WideString& relative, uint64_t size, int64_t lastWrite);
    // Calls visit for each record below the folder (a path below the
    // computer's folder) that was not seen this run, one pass over the book.
    void ForEachUnseenBelow(const WideString& folder, const std::function<void(const ChecksumRecord&)>& visit) const;
    // Drops the records below any of the folders (paths below the computer's
    // folder) that were not seen this run, unless stillThere says the file
    // is in the backup as recorded (put back after a failed copy, say). One
    // pass over the book, however many folders.
    void DropUnseenBelow(const StringList& folders, const std::function<bool(const ChecksumRecord&)>& stillThere);
    size_t Size() const { return live_; }
    uint64_t Bytes() const { return bytes_; }  // the sizes of all the files recorded

    // Calls visit for every record in path order (the order the lists are
    // written in), one at a time.
    void ForEachSorted(const std::function<void(const ChecksumRecord&)>& visit) const;
    // Calls write with each record's line of the checksum list, then (with
    // runs true) of the runs list, in path order, each ended by LF: made
    // straight from the stored bytes, a line at a time.
    void ForEachListLine(bool runs, const std::function<void(const std::string& line)>& write) const;
    // The paths of the records read longest ago (oldest run, then path),
    // until at least minFiles files and minBytes bytes are taken; once the
    // bytes are, only files that keep them within a quarter more than
    // minBytes, while there are enough of those.
    std::vector<WideString> OldestFirst(uint64_t minFiles, uint64_t minBytes) const;

    // A record's number stays the record's while the book lives (a removed
    // record's number goes to no other): 4 bytes a file where a path would
    // take a hundred.
    using Number = uint32_t;
    // The numbers of the records OldestFirst picks, in path order.
    std::vector<Number> OldestFirstNumbers(uint64_t minFiles, uint64_t minBytes) const;
    WideString PathNumbered(Number number) const;  // as spelled
    // Whether the numbered record holds these bytes (its digest and size).
    // Neither this nor PathNumbered reads what marking a file seen changes:
    // another thread may ask them while the book only marks files seen.
    bool HoldsBytes(Number number, const Digest& digest, uint64_t bytes) const;
    // The bytes the book holds (for the benchmarks).
    size_t MemoryBytes() const;

private:
    friend class ChecksumListsReader;
    // Drops the records not marked seen and clears the marks of the others.
    void KeepSeenOnly();
    // Gives the recorded file its runs line (size, time, run) and marks it
    // seen, in place; false when the book does not hold it.
    bool SetRunsLine(const WideString& relative, uint64_t size, int64_t lastWrite, uint64_t run);

    // 56 bytes: a book of 100,000 files holds 5.6 MB of them. The path's
    // length is where it lies (its NUL), the flags share a word with the run.
    struct Slot {
        Slot() : checkedRun(0), seen(0), live(0), plainKey(0) {}
        Digest digest{};
        uint64_t size = 0;
        int64_t lastWrite = 0;
        uint32_t pathStart = 0;
        uint32_t checkedRun : 29;  // up to kLastCheckedRun
        uint32_t seen : 1;
        uint32_t live : 1;
        uint32_t plainKey : 1;  // the path folds without the locale (see FoldsWithoutLocale)
    };
    static constexpr uint64_t kLastCheckedRun = (uint64_t{1} << 29) - 1;
    static constexpr uint32_t kEmpty = 0;
    static constexpr uint32_t kRemoved = 0xFFFFFFFFu;

    size_t Locate(const WideString& key) const;  // table position of the key, or the table's size
    // For a slot whose path folds plainly: whether its key begins with the
    // key given (is it, when whole), and the hash of its key.
    bool KeyStartsWith(const Slot& slot, const WideString& key, bool whole) const;
    size_t HashOfSlot(const Slot& slot) const;
    WideString PathOf(const Slot& slot) const;
    size_t PathBytesOf(const Slot& slot) const;  // its UTF-8 bytes
    ChecksumRecord RecordOf(const Slot& slot) const;
    // The live slots in path order; kept until a path is added or removed.
    const std::vector<uint32_t>& SortedSlots() const;
    void Grow();

    uint64_t run_ = 1;
    uint64_t recordedRun_ = 0;
    TextArena paths_;
    ChunkedList<Slot, 4096> slots_;
    std::vector<uint32_t> table_;  // slot number + 1, kEmpty or kRemoved
    size_t used_ = 0;              // table entries not empty (removed ones included)
    size_t live_ = 0;
    uint64_t bytes_ = 0;
    mutable std::vector<uint32_t> sorted_;
    mutable bool sortedValid_ = false;
};

// How many files and bytes a run reads back of what its copy did not touch:
// at least an eighth of the files and an eighth of the bytes (rounded up),
// so that every file is read again within eight runs, however small the
// backup.   (100000 files, 800 MB) => (12500, 100 MB)
struct RollingShare {
    uint64_t files = 0;
    uint64_t bytes = 0;
};
RollingShare RollingShareOf(uint64_t files, uint64_t bytes);

// The files to read back this run, by path: those read longest ago first
// (oldest run, then path), until the share of files and of bytes is taken.
std::vector<WideString> RollingSelection(const ChecksumBook& book);
// The same files as the book's numbers, in path order.
std::vector<ChecksumBook::Number> RollingNumbers(const ChecksumBook& book);

// The room the two lists take when written anew (beside the old ones until
// each replaces its old one): what they hold now and a line for each new
// file, in whole clusters.
uint64_t ChecksumListsNeed(uint64_t recordedFiles, uint64_t newFiles, uint64_t clusterBytes);

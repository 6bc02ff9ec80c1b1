// The checksum lists on the stick (see verify/checksum_book.h): read at the
// start of a run, written whole at its end; and their texts, a line at a time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "text/wide_string.h"
#include "verify/checksum_book.h"

// "E:\_Backup_\PC01" => "E:\_Backup_\PC01.sha256"
WideString ChecksumListOf(const WideString& computerFolder);
// "E:\_Backup_\PC01" => "E:\_Backup_\PC01.sha256.runs"
WideString RunsListOf(const WideString& computerFolder);

// A version set's own list, beside its folder: "...\2026-12-08_0905" => "...\2026-12-08_0905.sha256"
WideString SetChecksumListOf(const WideString& setFolder);

// The book of the computer's backup; an empty one (of run 1) when there
// are no lists yet or they cannot be read: every file is then read back
// as if new. whole (when given) says whether both lists were read to
// their end, or are not there at all.
// checksumListRead (when given) gets the SHA-256 of the checksum list's bytes
// as read.
ChecksumBook LoadChecksumBook(const WideString& computerFolder, bool* whole = nullptr,
                              Digest* checksumListRead = nullptr);

// Writes both lists anew, each flushed and read back from the stick itself
// before it takes the old one's place (a list that does not read back
// leaves the old one as it was). A checksum list whose bytes would be the
// ones read (checksumListRead, from LoadChecksumBook) is left as it is: a
// run that copied nothing rewrites only the runs list. Returns the
// system's reason when that failed, or that a list does not read back as
// written; else empty.
WideString SaveChecksumBook(const ChecksumBook& book, const WideString& computerFolder,
                            const Digest* checksumListRead = nullptr);

// Writes the list of a version set: "<set folder>.sha256", its paths below
// the set folder, read back as the lists are. Returns the system's reason
// when that failed, or that it does not read back; else empty.
WideString SaveSetChecksums(const std::vector<ChecksumRecord>& records, const WideString& setFolder);

// The program's own line for a record: "<size> <time> <run> <path>".
std::string RunsLine(const ChecksumRecord& record);

// The lists' texts, one line per record in path order, each ended by LF;
// the runs list starts with "run <number of this run>".
std::string ChecksumListText(const ChecksumBook& book);
std::string RunsListText(const ChecksumBook& book);
// The lines for a version set: each record's line.
std::string ChecksumListText(const std::vector<ChecksumRecord>& records);

// Reads the lists line by line into a book, holding no second copy of
// either: first every line of the checksum list, then every line of the
// runs list, then Finish. A file named in one list and not in the other,
// any line that does not read, and any path that leaves the computer's
// folder are left out (a file is then read back again as if new; a line
// elsewhere is dropped). The run is one more than the runs list's.
class ChecksumListsReader {
public:
    void ChecksumLine(const std::string& line);
    void RunsLine(const std::string& line);
    ChecksumBook Finish();

private:
    ChecksumBook book_;
    uint64_t lastRun_ = 0;
};

// The book from both lists' whole texts (see ChecksumListsReader).
ChecksumBook BookFromLists(const std::string& checksums, const std::string& runs);

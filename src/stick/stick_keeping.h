// Whether the backup drive keeps what is written to it, decided from what a
// run's read-back found. Counterfeit sticks claim more room than they have
// and silently lose what lands past their real size, so that every copy
// from some point of the run on reads back wrong; worn sticks lose bytes
// here and there. Either way the stick, not a file, is the problem, and one
// line should say so instead of leaving the user with a list of files.
#pragma once

#include <cstddef>
#include <vector>

#include "text/wide_string.h"

// A copy read back against a source that stayed as it was while it was
// copied and read.
enum class CopyReadBack : unsigned char {
    AsWritten,  // the source's bytes
    Wrong,      // other bytes: the stick did not give back what was written
};

// Whether the run's own files on the drive (its lists and records) read
// back as they were written.
enum class ListsReadBack : unsigned char {
    NotRead,    // not read back this run
    AsWritten,
    Wrong,
};

// The facts of one run, as its read-back gathers them.
struct StickReadBack {
    // One entry per copy read back just after the copy wrote it, in the
    // order the copy wrote them; a copy made again and read again is not a
    // new entry (its first read is what the stick gave back).
    std::vector<CopyReadBack> copies;
    ListsReadBack lists = ListsReadBack::NotRead;
};

// The copies of the facts that read back wrong.
size_t WrongCopies(const StickReadBack& facts);

// Whether the stick may be counterfeit or failing. Up to two wrong copies
// never say so by themselves: a source rewritten in place with its time
// kept explains them. Any of these does:
//   - many wrong copies: at least 3, and at least 10 or a tenth of the
//     copies read back;
//   - wrong from some point on: at least 3 copies from some point of the
//     run to its end, nine in ten of them or more wrong;
//   - the run's own lists read back wrong.
//   "..x.x" (2 wrong) => false   "x.x.x.........." (3 of 15) => true
//   "......[200 right]...xxx" => true (the last three)   "x.x......[1000 right]" => false
bool StickLosesWrites(const StickReadBack& facts);

// The one line said before the verdict when StickLosesWrites, else empty:
// the drive, how many copies read back wrong of how many, whether the lists
// did, and that another stick is needed.
//   ("E:", 31 of 118 wrong) => "E: does not keep what is written to it (copies read back wrong: 31 of 118) ..."
WideString StickFailureLine(const StickReadBack& facts, const WideString& drive);

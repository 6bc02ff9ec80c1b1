// The checksum lists on the stick (see verify/checksum_book.h): read at the
// start of a run, written whole at its end.
#pragma once

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
// as if new.
ChecksumBook LoadChecksumBook(const WideString& computerFolder);

// Writes both lists anew, each flushed and then put in place of the old
// one. Returns the system's reason when that failed, else empty.
WideString SaveChecksumBook(const ChecksumBook& book, const WideString& computerFolder);

// Writes the list of a version set: "<set folder>.sha256", its paths below
// the set folder. Returns the system's reason when that failed, else empty.
WideString SaveSetChecksums(const std::vector<ChecksumRecord>& records, const WideString& setFolder);

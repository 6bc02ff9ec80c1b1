// What reading a file back means, decided from what the system answered
// (sizes, times, digests), so that every case can be fed to it.
#pragma once

#include "plan/versions.h"
#include "verify/checksum_book.h"
#include "verify/file_digest.h"

// A backup file the copy does not replace, read back against its record.
enum class KeptCopyState {
    Stale,    // not as recorded (changed or gone): the walk after the copy reads it anew
    Sound,    // its bytes are the recorded ones
    Repair,   // its bytes changed while the source still has the file: copy it again
    Damaged,  // its bytes changed and the source no longer has it: it is the only copy
};
KeptCopyState KeptCopyStateOf(const ChecksumRecord& record, const FileFacts& backup, const FileDigest& readBack,
                              const FileFacts& source);

// A copy read back against its source just after the copy.
enum class CopyCheck {
    Match,             // the same bytes
    Mismatch,          // different bytes while the source stayed as it was: the copy is wrong
    SourceChanged,     // the source changed while it was copied or read: not damage
    BackupUnreadable,  // the copy could not be read from the stick
    SourceUnreadable,  // the source could not be read (locked): only the copy's digest is known
};
// sourceBefore is the source as the walk saw it (the size and time the copy
// took), sourceAfter as it is once both were read.
CopyCheck CopyCheckOf(const FileDigest& backup, const FileDigest& source, const FileFacts& sourceBefore,
                      const FileFacts& sourceAfter);

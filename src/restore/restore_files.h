// The thin part of a restore that reads the stick and writes the target:
// one file at a time, checked byte for byte on its way.
#pragma once

#include <cstdint>

#include "restore/restore_plan.h"
#include "text/wide_string.h"

// What became of one file.
enum class RestoreOutcome {
    Restored,
    AlreadyThere,   // the target holds the same bytes
    KeptExisting,   // the target holds other bytes (or is a folder) and stays
    Damaged,        // its bytes on the stick do not match its line
    NoLine,         // it has no checksum line: its bytes cannot be checked
    Missing,        // its line names it but it is not on the stick
    NoPlace,        // it has no place to go back to
    Failed,         // the system refused (problem says why)
};

struct RestoreResult {
    RestoreOutcome outcome = RestoreOutcome::Failed;
    WideString problem;  // the system's reason for Failed
    WideString keptAs;   // with /replace: where the existing file went
};

// Whether the target holds a file with the item's bytes (AlreadyThere),
// other bytes or a folder (KeptExisting), or nothing (Restored: it would
// be restored). Reads the existing file only when there is one.
RestoreOutcome ExistingTarget(const RestoreItem& item);

// Brings the file at the stick path back to the item's target: read once
// past the cache, hashed while read, written beside the target under a
// temporary name and renamed into place only when its digest matches the
// line. With replace, an existing file with other bytes is first renamed
// beside itself (BeforeRestoreName with the stamp). Times and the
// read-only and hidden attributes follow the stick's file.
RestoreResult RestoreFile(const RestoreItem& item, const WideString& stickPath, bool replace,
                          const WideString& stamp);

// Makes the folder and those missing above it (in the long form); the
// system's reason when that failed, else empty.
WideString MakeRestoredFolder(const WideString& folder);

// Reads the stick's file against its line: Restored when it matches.
RestoreOutcome CheckStoredFile(const StoredFile& file, const WideString& stickPath, WideString* problem);

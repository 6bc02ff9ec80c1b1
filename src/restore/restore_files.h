// The thin part of a restore that reads the stick and writes the target:
// one file at a time, checked byte for byte on its way.
#pragma once

#include <cstdint>
#include <functional>

#include "points/restore_plan.h"
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
    OutsideFolders, // its original place is below none of the backup's folders
    DriveMissing,   // its original drive is not on this computer
    VersionLost,    // a later run replaced it before its earlier version could be kept
    NotYetRecorded, // /check: its line is older than the file (a run did not finish)
    Failed,         // the system refused (problem says why)
};

struct RestoreResult {
    RestoreOutcome outcome = RestoreOutcome::Failed;
    WideString problem;  // the system's reason for Failed
    // With /replace: where the existing file went; for Failed, where it is
    // when it could not be put back.
    WideString keptAs;
};

// Whether the target holds a file with the item's bytes (AlreadyThere),
// other bytes or a folder (KeptExisting), or nothing (Restored: it would
// be restored). Reads the existing file only when there is one.
RestoreOutcome ExistingTarget(const RestoreItem& item);

// Where a test can step in between the check of a file's bytes and its
// rename into place.
struct RestoreSeam {
    // Called with the temporary file's path once its bytes matched their
    // line and it was flushed and closed (with replace, once the existing
    // file moved aside), right before the rename into place.
    std::function<void(const WideString& temporary)> beforeRename;
};

// Brings the file at the stick path back to the item's target: read once
// past the cache, hashed while read, written beside the target into a new
// file under a temporary name that no file has (TemporaryNameOf), flushed,
// and renamed into place only when its digest matches the line; the rename
// never replaces a file that appeared at the target meanwhile. The
// temporary file is removed on every failure. With replace, an existing
// file with other bytes is first renamed beside itself (BeforeRestoreName
// with the stamp); when the restored file then cannot take its place, the
// existing one is put back, or keptAs says where it is. A rename refused
// because another program holds the file for a moment is tried again
// (TriesAgain). Times and the read-only and hidden attributes follow the
// stick's file.
RestoreResult RestoreFile(const RestoreItem& item, const WideString& stickPath, bool replace,
                          const WideString& stamp, const RestoreSeam& seam = RestoreSeam());

// Makes the folder and those missing above it (in the long form); the
// system's reason when that failed or a file of its name is there, else empty.
WideString MakeRestoredFolder(const WideString& folder);

// Reads the stick's file against its line: Restored when it matches.
RestoreOutcome CheckStoredFile(const StoredFile& file, const WideString& stickPath, WideString* problem);

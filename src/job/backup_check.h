// Checking one folder's backup against its source, from the two tree
// listings alone: what the copy will write and free before it runs, and
// whether every file it should copy is there afterwards.
#pragma once

#include <cstdint>

#include "job/copy_policy.h"
#include "job/tree_listing.h"
#include "text/wide_string.h"

// Whether two last-write times count as the same under the policy.
bool SameTime(const CopyPolicy& policy, int64_t a, int64_t b);

// Whether the copy leaves the backup's file as it is.
bool UpToDate(const CopyPolicy& policy, const ListedFile& source, const ListedFile& backup);

struct CopyPlan {
    uint64_t bytesWritten = 0;  // files new or changed
    uint64_t bytesFreed = 0;    // their old copies, and files the mirror purges
};

// What mirroring the source onto the backup writes and frees. Source files
// over the size cap are not copied; their old copies stay (not purged).
CopyPlan PlanMirror(const CopyPolicy& policy, const TreeListing& source, const TreeListing& backup);

// A source that holds no file the policy copies while its backup holds
// files: mirroring it would empty the backup.
bool WouldEmptyBackup(const CopyPolicy& policy, const TreeListing& source, const TreeListing& backup);

struct FolderVerification {
    uint64_t files = 0;          // files the policy copies
    uint64_t missingOrOlder = 0; // of those, not in the backup as they are in the source
    WideString firstMissing;     // relative path of the first such file
    StringList overSizeCap;      // relative paths of files not copied by the size cap
};

FolderVerification VerifyMirror(const CopyPolicy& policy, const TreeListing& source,
                                const TreeListing& backup);

// "OK  <folder>  <n> files" or "INCOMPLETE  <folder>  <n> files, <m> missing
// or older, first: <path>".
WideString VerificationLine(const WideString& folder, const FolderVerification& verification);

// The amount with one decimal, rounded up, in gibibytes from 1 GiB on and
// in mebibytes below:  3435973836 => "3.2 GB"   3000000 => "2.9 MB"
WideString SizeText(uint64_t bytes);

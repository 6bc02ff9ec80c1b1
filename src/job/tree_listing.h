// The files of a folder tree with their sizes and times, as the copy policy
// sees them (excluded names and junctions left out), from the folder
// listings alone: no file is opened.
#pragma once

#include <cstdint>
#include <map>

#include "job/copy_policy.h"
#include "text/wide_string.h"

struct ListedFile {
    WideString relative;  // below the tree's root, as the file system spells it
    uint64_t size = 0;
    int64_t lastWrite = 0;  // 100 ns units since 1601
};

// Lower-cased relative path => the file.
using TreeListing = std::map<WideString, ListedFile>;

// The tree below the folder; empty when it is missing.
TreeListing ListTree(const WideString& folder, const CopyPolicy& policy);

// The plain walk of the same tree: every file, nothing left out (for
// comparing the cost of ListTree).
uint64_t CountFilesPlainly(const WideString& folder);

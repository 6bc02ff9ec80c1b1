// Walking a source tree and its backup together, one folder of each at a
// time, to compare them (see plan/tree_compare.h). Paths are read in their
// long form (\\?\C:\..., \\?\UNC\srv\share\...), so files deeper than 260
// characters are seen like any other.
#pragma once

#include <cstdint>
#include <functional>

#include "common/windows_headers.h"
#include "plan/tree_compare.h"
#include "plan/versions.h"
#include "text/wide_string.h"

// How a folder listing ended, from the system's error codes.
enum class ListingEnd {
    Listed,   // every entry was read (an empty root reports "no such file")
    Missing,  // the folder is not there
    Failed,   // it is there but could not be read
};

// For the error of FindFirstFileExW on "folder\*":
//   ERROR_FILE_NOT_FOUND => Listed   ERROR_PATH_NOT_FOUND => Missing
//   ERROR_ACCESS_DENIED, ERROR_DIRECTORY, any other => Failed
ListingEnd FindFirstEnd(DWORD error);
// For the error that ended a FindNextFileW loop:
//   ERROR_NO_MORE_FILES => Listed   any other => Failed
ListingEnd FindNextEnd(DWORD error);

// Calls visit for every entry of one folder (not "." or ".."), read in the
// long form; false when the folder could not be read to its end.
bool VisitFolder(const WideString& folder, const std::function<void(const WIN32_FIND_DATAW&)>& visit);

// Compares the source tree with the backup tree below the two canonical
// folders. A missing backup is an empty one; a missing source root, or any
// folder of either tree that cannot be read, ends the walk with the problem
// said in the comparison (a subfolder that vanished while being walked is
// taken as empty).
TreeComparison CompareTrees(const CopyPolicy& policy, uint64_t clusterBytes,
                            const WideString& source, const WideString& backup,
                            const TakenFileVisitor& visit = nullptr);

// The number of files below the folder, every one, nothing left out or
// compared (for weighing what CompareTrees costs against a plain walk).
uint64_t CountFilesPlainly(const WideString& folder);

// What the system says of the file at the canonical path (a folder is no file).
FileFacts FactsOf(const WideString& path);

// What a job's copy takes, as the copy tool decides it: excluded file and
// folder names, the size cap, junctions, and the two-second time tolerance
// of FAT time stamps. Used to check a backup before and after the copy
// without reading any file's content.
#pragma once

#include <cstdint>

#include "text/wide_string.h"

class BackupJob;

struct CopyPolicy {
    StringList excludedFiles;  // name patterns ('*' wildcards, any letter case)
    StringList excludedDirs;
    bool hasMaxSize = false;
    uint64_t maxSize = 0;      // larger files are not copied
    bool skipJunctions = true;
    int64_t timeTolerance = 0; // in 100 ns units
};

// The policy of the job's options.
CopyPolicy PolicyOf(const BackupJob& job);

bool ExcludesFile(const CopyPolicy& policy, const WideString& name);
bool ExcludesDir(const CopyPolicy& policy, const WideString& name);
bool OverSizeCap(const CopyPolicy& policy, uint64_t size);

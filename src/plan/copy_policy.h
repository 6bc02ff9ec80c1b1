// What a backup's copy takes, as the copy tool decides it: excluded file and
// folder names, the size cap, junctions, and the two-second time tolerance
// of FAT time stamps. The plan and the verification use it to tell, from
// folder listings alone, what the copy will do and whether it did it.
#pragma once

#include <cstdint>

#include "text/wide_string.h"

struct CopyPolicy {
    StringList excludedFiles;  // name patterns ('*' and '?' wildcards, any letter case)
    StringList excludedDirs;
    bool hasMaxSize = false;
    uint64_t maxSize = 0;      // larger files are not copied
    bool skipJunctions = true;
    int64_t timeTolerance = 0; // in 100 ns units
    // Folders left out of one folder's copy by their path below its source
    // and backup (lower-cased, '\' between names): neither copied, deleted,
    // kept as earlier versions nor checked. The copy gets them as /xd paths.
    StringList skippedFolders;
};

// Whether the name matches the pattern as the copy tool matches names: the
// whole name, '*' any run of characters, '?' one character, letter case
// ignored. Both are given lower-cased.
//   ("thumbs.db", "thumbs.db") => true   ("thumbs.dbx", "thumbs.db") => false
//   ("old.tmp", "*.tmp") => true         ("a.tmp.txt", "*.tmp") => false
bool WildcardMatch(const WideString& name, const WideString& pattern);

// The name pattern of the restore's temporary files ("<name>.brisk-restoring").
// One left by a restore that did not finish is never copied, whatever the
// job's own list says: every copy command leaves it out, and so does every
// policy, so the plan and the check agree with the copy.
extern const wchar_t kRestoreTemporaryPattern[];

// The same for the policy's lists; the name is given lower-cased. A file
// also matches when it matches kRestoreTemporaryPattern.
//   ({"*.bak"}, "a.txt.brisk-restoring") => true
bool ExcludesFile(const CopyPolicy& policy, const WideString& loweredName);
bool ExcludesDir(const CopyPolicy& policy, const WideString& loweredName);
bool OverSizeCap(const CopyPolicy& policy, uint64_t size);

// Whether two last-write times count as the same under the policy.
bool SameTime(const CopyPolicy& policy, int64_t a, int64_t b);

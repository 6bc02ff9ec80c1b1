// What a restore asks the system about its targets and the stick before it
// writes anything: thin calls whose answers the decisions of
// restore/restore_rules.h weigh. Nothing here writes, except the probe,
// which leaves nothing behind.
#pragma once

#include <unordered_set>
#include <vector>

#include "restore/restore_rules.h"
#include "text/wide_string.h"

// The folder itself when it exists, else the nearest folder above it that
// does; empty when not even the drive's root is there.
//   "D:\new\C\KORV" (only D:\ there) => "D:\"
WideString NearestExistingFolder(const WideString& path);

// The first entry on the way from the drive's root to the path (each folder
// that exists, and the path itself when something is there) that is a link
// (IsLinkEntry); empty when none is. Folders found plain are added to plain
// and not asked about again.
WideString FirstLinkOnTheWay(const WideString& path, std::unordered_set<WideString>* plain);

// The volume and file of what the path names (a link followed), unknown
// when it cannot be opened.
FileIdentity IdentityOf(const WideString& path);

// The identities of the nearest existing folder at or above the path and of
// every folder above that one.
std::vector<FileIdentity> IdentityChainOf(const WideString& path);

// Whether the drive of a drive path is not on this computer (DriveIsMissing
// of the system's answers for its root).
bool DriveOfPathIsMissing(const WideString& path);

// Why nothing can be written where a restore would write into the folder: a
// probe file created new in the nearest existing folder at or above it, and
// gone when closed. Empty when it could be made.
WideString WriteProblemAt(const WideString& folder);

// The names in the folder that IsRestoreLeftover, as full paths, sorted.
StringList LeftoversIn(const WideString& folder);

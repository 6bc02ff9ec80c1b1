// Why a configured folder cannot be backed up, said in a few words.
#pragma once

#include <functional>

#include "text/wide_string.h"

// The system's answers about a canonical path and its drive or share.
struct FolderProbe {
    std::function<bool(const WideString&)> isDirectory;
    std::function<bool(const WideString&)> exists;        // anything at the path
    std::function<unsigned(const WideString&)> driveType; // as GetDriveTypeW, for "X:"
    std::function<bool(const WideString&)> driveReady;    // a medium in "X:"
};

// The reason for a folder that is not an existing directory, or empty when
// it is one:
//   "drive not ready" (no such drive, or no medium in it),
//   "network path not reachable" (its share, or its mapped drive's share,
//   cannot be reached), "a whole drive is not backed up" (a drive root),
//   "not a folder" (a file), "not found".
WideString MissingFolderReason(const WideString& folder, const FolderProbe& probe);

// The probe of the running system.
FolderProbe SystemFolderProbe();

// "Not backed up: <folder> (<reason>)"
WideString NotBackedUpLine(const WideString& folder, const WideString& reason);

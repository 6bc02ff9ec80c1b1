// The network (UNC) form of paths on mapped network drives.
#pragma once

#include "text/wide_string.h"

// The path with its drive designator replaced by the drive's connection
// name; the path unchanged when the connection name is empty.
//   ("Z:\Data\x", "\\srv\share") => "\\srv\share\Data\x"
WideString ReplaceDriveWithConnection(const WideString& path, const WideString& connection);

// The path with a mapped network drive letter replaced by its connection
// name. Local, relative, UNC and empty paths come back unchanged, and so
// does a path whose connection cannot be read.
WideString NetworkDriveToUnc(const WideString& path);

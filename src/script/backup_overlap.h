// Keeping the backups of different folders apart. robocopy mirrors each
// folder with purge, so two folders whose backup folders coincide, or lie
// one inside the other without the sources doing the same, would each
// delete the other's copies: "C:\100%\x" and "C:\100\x" both go to
// ...\C\100\x, because the mirror path turns '%' into a separator.
#pragma once

#include <map>

#include "script/command_line.h"
#include "text/wide_string.h"

// Whether mirroring both would let one purge the other's copies: their
// destinations are equal or nested, and the sources are not nested the same
// way (letter case ignored).
bool BackupFoldersClash(const CopyFolders& earlier, const CopyFolders& later);

// The folders accepted so far, looked up by destination.
class BackupFolderRegister {
public:
    // The source of an accepted folder that clashes with the candidate, or
    // empty when there is none (then the candidate is accepted).
    WideString Accept(const CopyFolders& candidate);

private:
    // Lower-cased destination => the folders with that destination.
    std::multimap<WideString, CopyFolders> accepted_;
};

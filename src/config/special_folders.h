// The shell's standard folders.
#pragma once

#include "text/wide_string.h"

// The shell's folder numbers (CSIDL values) that the program uses.
enum SpecialFolder : int {
    kDesktop = 0x00,
    kPersonal = 0x05,
    kMyMusic = 0x0D,
    kMyVideo = 0x0E,
    kDesktopDirectory = 0x10,
    kLocalAppData = 0x1C,
    kCommonDesktopDirectory = 0x19,
    kMyPictures = 0x27,
    kCommonDocuments = 0x2E,
    kCommonMusic = 0x35,
    kCommonPictures = 0x36,
    kCommonVideo = 0x37,
};

// The path of one standard folder, or empty when the system gives none.
WideString SpecialFolderPath(int csidl);

// The eleven public and user folders that are backed up, in this order:
// public Documents, Pictures, Music, Videos, Desktop; the user's Documents,
// Pictures, Music, Videos, Desktop folder, Desktop. Duplicates removed (the
// first stays), empty entries kept.
StringList UserAndPublicFolders();

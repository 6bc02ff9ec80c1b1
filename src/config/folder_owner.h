// Whether a folder belongs to the user running the program. Scripts and
// the files the program writes for itself go only into such folders: in a
// folder that another user made (inside a temporary folder every user can
// write to, say) that user could have left a program the interpreter would
// run, or a link that leads the program's writes elsewhere.
#pragma once

#include "text/wide_string.h"

// Whose a folder is, as the system answers.
enum class FolderOwnership {
    ThisUser,  // owned by this user (or by the owner the user's new files get)
    Other,     // owned by another user or group, or a link
    Missing,   // not there
};

// The folder's owner compared with this process's user. A folder that is a
// link (junction or symbolic link) counts as another's, whoever owns it.
FolderOwnership OwnershipOf(const WideString& folder);

// This process's user's SID as text ("S-1-5-21-..."); empty when it cannot
// be read.
WideString ThisUserSidText();

// The same from the system's answers: the path's attributes
// (INVALID_FILE_ATTRIBUTES when it is not there) and its owner (null when
// it could not be read).
FolderOwnership OwnershipFrom(unsigned long attributes, void* ownerSid);

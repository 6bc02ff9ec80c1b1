// Whether a folder belongs to the user running the program. Scripts and
// the files the program writes for itself go only into such folders: in a
// folder that another user made (inside a temporary folder every user can
// write to, say) that user could have left a program the interpreter would
// run, or a link that leads the program's writes elsewhere.
#pragma once

#include <cstdint>
#include <vector>

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

// One entry of a folder's access list, as the system answered it.
struct AccessEntry {
    bool allows = true;        // an allowing entry (denying ones are not counted)
    uint32_t mask = 0;         // the rights it names
    WideString sid;            // whom, "S-1-5-18"
};

// Whether the access list lets anyone but this user, SYSTEM, the
// Administrators and the creator of each file write, create, delete or
// change permissions there. No list at all (a null DACL) lets everyone.
//   {allow FA to "S-1-1-0"}, "S-1-5-21-1" => true   {allow FA to the user, SYSTEM} => false
bool LetsOthersWrite(bool hasList, const std::vector<AccessEntry>& entries, const WideString& userSid);

// The same of a folder on disk; true when its list cannot be read.
bool OthersCanWrite(const WideString& folder);

// The access list a folder of the program's own gets: protected (nothing
// inherited from above), full control to this user, SYSTEM and the
// Administrators, passed on to everything made inside it.
//   "S-1-5-21-1" => "D:P(A;OICI;FA;;;S-1-5-21-1)(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)"
WideString PrivateFolderSddl(const WideString& userSid);

// Creates the folder and the missing ones above it, each with that list.
// An existing folder is left as it is (the callers check it). False, said
// on the error stream, when one cannot be made.
bool CreatePrivateFolderTree(const WideString& folder);

// The lines of the checksum lists, as text: a path below the computer's
// folder in the lists' spelling, a line of the list sha256sum reads, and
// whether a path read from a list stays where it belongs. Nothing here
// touches the disk.
#pragma once

#include <string>

#include "text/wide_string.h"
#include "verify/file_digest.h"

// A path below the computer's folder as the lists spell it, and back:
//   "C\KORV\a b.txt" <=> "C/KORV/a b.txt" (UTF-8)
std::string ListPath(const WideString& relative);
WideString PathFromList(const std::string& text);

// The digest and path of a checksum list's line; false for a line that
// does not read or whose path leaves the computer's folder.
bool ReadChecksumLine(const std::string& line, Digest* digest, WideString* relative);

// "3f...a1  C/KORV/Data/a b.txt"  (from "C\KORV\Data\a b.txt")
std::string ChecksumLine(const Digest& digest, const WideString& relative);
// Whether a path from a list stays below the computer's folder: relative,
// names only (no "..", ".", empty name, drive letter, stream colon or
// control character such as NUL), so
// that a line never makes the program read, move or remove anything
// elsewhere on the stick.
//   "C\KORV\a.txt" => true   "..\PC02\a.txt", "C\..\..\x", "\x", "E:\x", "C\\x", "" => false
bool IsRecordPathBelow(const WideString& relative);

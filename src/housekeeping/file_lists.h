// Listing one folder (never recursively), matching names, ordering lists.
#pragma once

#include "text/wide_string.h"

// The entries of a folder, as folder + '\' + name, folders with a further
// '\', in the order the file system reports them. A path naming a file
// lists the file's folder. Empty for an empty, missing or unreadable path.
// With skipDots, "." and ".." are left out.
StringList ListFolder(const WideString& path, bool skipDots);

// The files (not folders) of ListFolder(path, true) whose names match.
StringList ListMatchingFiles(const WideString& path, const WideString& pattern);

// Whether the file name part of the path matches the pattern, ignoring
// letter case. Only '*' is a wildcard; "" and "*" match every name, "*.*"
// every name with a dot.
//   ("log_1.txt", "LOG_*.TXT") => true   ("abcabc", "abc") => true
//   ("adb", "a*b*d") => false            ("README", "*.*") => false
bool MatchesPattern(const WideString& path, const WideString& pattern);

// Ascending by code units (case-sensitive); reversed; ascending without
// adjacent duplicates.
StringList SortedList(StringList list);
StringList ReversedList(StringList list);
StringList SortedUniqueList(StringList list);

// Whether the folder (or, for a file path, its folder) has no entries other
// than "." and ".."; also true when it cannot be listed.
bool IsFolderEmpty(const WideString& path);

// What follows the last '.' of the file name; empty when there is none, or
// when the name is empty, a single blank, or contains '?'.
//   "C:\a\b.tar.gz" => "gz"   "README" => ""
WideString FileNameExtension(const WideString& path);

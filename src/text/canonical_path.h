// The canonical form of a path: absolute, with backslashes, without "." or
// ".." components, doubled separators, device prefixes or the trailing
// blanks and dots that Windows drops from names. Two spellings of one folder
// ("C:\a\.\b\", "c:/a//b", "\\?\C:\a\b", "C:\a\x\..\b") then compare equal
// (letter case aside), and nothing below a root can climb above it.
// Pure text: nothing here touches the disk.
#pragma once

#include "text/wide_string.h"

struct CanonicalPath {
    // The canonical path; empty when there is a problem.
    WideString path;
    // Why the path has no canonical form; empty when it has one.
    WideString problem;
};

// The canonical form of a drive or network path. A relative path is taken
// against currentFolder (which must itself be absolute): "x" and ".\x" below
// it, "\x" on its drive or share, and "D:x" below it when it lies on D:,
// else below D:\. A ".." at a root stays at the root, as Windows does.
// Drive roots keep their separator; other paths have none at the end.
//   ("C:\a\.\b\", "")        => "C:\a\b"
//   ("..", "E:\tools")       => "E:\"
//   ("\\?\UNC\srv\s\x", "")  => "\\srv\s\x"
//   ("\\srv", "")            => problem: no share
//   ("x", "")                => problem: relative, no current folder
CanonicalPath CanonicalPathOf(const WideString& path, const WideString& currentFolder);

// Whether the path is the folder or lies inside it, comparing canonical
// texts by whole components without regard to letter case.
//   ("C:\a\b", "c:\A") => true   ("C:\ab", "C:\a") => false   ("C:\a", "C:\") => true
bool PathWithin(const WideString& path, const WideString& folder);

// The rest of the path below the folder, or empty when it is not below it.
//   ("E:\_Backup_\PC01\C\x", "E:\_Backup_\PC01") => "C\x"   ("E:\b", "E:\b") => ""
WideString PathBelow(const WideString& path, const WideString& folder);

// The long form of a canonical path, which the system reads past 260
// characters; a path already in that form or not absolute stays as it is.
//   "C:\a" => "\\?\C:\a"   "\\srv\s\x" => "\\?\UNC\srv\s\x"   "x" => "x"
WideString LongPathForm(const WideString& canonical);

// Whether a name of the path (not "." or "..") ends in a blank or a dot.
// Windows drops those from names, so such a folder is reachable only in the
// long form, and its shorter look-alike is what the usual calls reach.
//   "\\?\C:\KORV\trail " => true   "C:\a.\b" => true   "C:\a\..\b" => false
bool HasNameEndingInBlankOrDot(const WideString& path);

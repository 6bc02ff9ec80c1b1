// Lexical path helpers. Both '\' and '/' are separators on input; '\' is the
// separator written unless a caller asks for another. Nothing here touches
// the disk, and paths are used as given (no "." or ".." resolution).
#pragma once

#include "text/wide_string.h"

bool IsSeparator(wchar_t c);

// Removes one trailing separator.  "C:\\" => "C:\"   "C:\" => "C:"   "" => ""
WideString StripTrailingSeparator(const WideString& path);

// Appends the separator unless the path is empty or already ends in '\' or '/'.
//   "D:" => "D:\"   "X:/" => "X:/"   "" => ""
WideString AppendSeparator(const WideString& path, wchar_t separator);

// The left part, a backslash unless it is empty or already ends in a
// separator, and the right part.  ("C:\Temp", "x") => "C:\Temp\x"   ("", "x") => "x"
WideString JoinPath(const WideString& left, const WideString& right);

// Rewrites every separator as the given one and collapses runs, except that
// the first two components are kept even when empty (so a UNC "\\" prefix
// and a doubled separator right after the first component survive). Drops a
// trailing separator.
//   "C:/dir//sub/" => "C:\dir\sub"   "\\srv\share\" => "\\srv\share"
//   "C:\" => "C:"   "C:\\dir" => "C:\\dir"
WideString NormalizeSeparators(const WideString& path, wchar_t separator);

// The text after the last '\'; only when there is no '\', after the last '/'.
//   "C:\a/b" => "a/b"   "name" => "name"
WideString FileNamePart(const WideString& path);

// The text before the last '\' (or, without any '\', the last '/'); a single
// '\' when there is neither.  "D:\_Backup_" => "D:"   "C:/x/y" => "C:/x"
WideString ParentPath(const WideString& path);

// "X:" for a drive path; two separators and the server name for a UNC path;
// otherwise empty.  "\\srv\share\x" => "\\srv"   "\\srv" => ""   "c:" => "c:"
WideString DriveOrServerRoot(const WideString& path);

// The server and share of a network path, or a drive path's drive.
//   "\\srv\share\x\y" => "\\srv\share"   "\\srv" => "\\srv"   "E:\x" => "E:"
WideString ShareRootOf(const WideString& path);

// The text between two quote characters; nothing inside is escaped.
WideString QuoteWith(const WideString& text, wchar_t quote);

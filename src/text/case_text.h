// Letter-case helpers. Lower-casing follows the user's locale once the
// program has installed it (see InstallUserLocale); before that only the
// ASCII letters A to Z are mapped.
#pragma once

#include "text/wide_string.h"

// A lower-case copy, cut at the first NUL character.
WideString ToLowerText(const WideString& text);

// The same for names and paths, as keys: plain ASCII, kana and ideographs
// are folded here, and only a text with other characters goes to the
// locale's lower-casing (a system call per text, which a tree of 100,000
// files would otherwise pay for every entry, and sorting for every
// comparison).
//   "C\KORV\Read Me.TXT" => "c\korv\read me.txt"   "\u00C4rger" => "\u00E4rger"
WideString FoldedKey(const WideString& text);
// Whether FoldedKey folds the character without the locale (ASCII, kana,
// ideographs): a text made only of these has A to Z lowered as its key.
bool FoldsWithoutLocale(wchar_t c);

// The position of the pattern in the text from the start position: first by
// exact comparison, then with both lower-cased. kNoPosition when absent.
// Callers test a result of 0 for a prefix.
//   ("c:\tools\a.exe", "C:\", 0) => 0      ("D:\x", "C:\", 0) => kNoPosition
size_t FindNoCase(const WideString& text, const WideString& pattern, size_t start);

// Sets the runtime library's locale for all categories to the user's default.
void InstallUserLocale();

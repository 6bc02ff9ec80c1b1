// Comparing texts and taking names apart.
#pragma once

#include "text/wide_string.h"

// Equal as given, or equal after lower-casing both (user's locale).
bool EqualNoCase(const WideString& a, const WideString& b);

// The list with only the first occurrence of each text, in order; texts are
// compared exactly (case-sensitive, whole text).
StringList RemoveDuplicateTexts(const StringList& list);

// The file name without its extension.
//   "C:\x\tool.main.exe" => "tool.main"   "brisk.exe" => "brisk"
//   "C:\x\" => ""   " " => ""   ".hidden" => ""   "a?b" => ""   "name" => "name"
WideString FileNameStem(const WideString& path);

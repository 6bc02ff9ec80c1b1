// The program's text types: UTF-16 texts and ordered lists of them.
#pragma once

#include <string>
#include <vector>

using WideString = std::wstring;
using StringList = std::vector<WideString>;

// A position in a WideString that is not there ("none").
constexpr WideString::size_type kNoPosition = WideString::npos;

// Splitting a text into a list and joining a list into a text.
#pragma once

#include "text/wide_string.h"

// Splits at any of the separator characters, in one pass.
// An element that starts with a double or single quote runs at least to the
// matching quote, so separators inside that quoted stretch do not split it;
// quotes stay in the elements. An unmatched opening quote makes the rest of
// the text one element. Empty elements between separators are kept; a
// trailing separator gives no trailing empty element.
//   "a\b\" at '\'  => {"a", "b"}        "\a" => {"", "a"}
//   "a\\b"         => {"a", "", "b"}    ""   => {}
StringList SplitText(const WideString& text, const WideString& separators);
StringList SplitOnChar(const WideString& text, wchar_t separator);

// The elements with the separator between each two neighbours.
// {} => "", {""} => "", {"", ""} with ";" => ";".
// Built in chunks so that joining a million elements stays linear.
WideString JoinText(const StringList& list, const WideString& separator);
WideString JoinWithChar(const StringList& list, wchar_t separator);

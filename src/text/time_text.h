// Dates and times as texts, formatted with wcsftime patterns in local time.
#pragma once

#include <ctime>

#include "text/wide_string.h"

// The broken-down time formatted with the pattern; empty when the result
// would need more than 254 characters or is itself empty.
//   ("%Y-%m-%d", 5 March 2025) => "2025-03-05"
WideString FormatTime(const WideString& pattern, const std::tm& time);

// The current local time formatted with the pattern, or empty.
WideString FormatNow(const WideString& pattern);

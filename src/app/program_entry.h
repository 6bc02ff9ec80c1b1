// Process start-up: locale, argument list, console window, banner, then the
// main driver.
#pragma once

#include "text/wide_string.h"

// The display form of a version text: blanks dropped, commas turned into
// points.  "1, 0, 2025, 10" => "1.0.2025.10"   "2.1" => "2.1"   "   " => ""
WideString VersionForDisplay(const WideString& version);

// "brisk   Ver." directly followed by the display form of the version.
WideString BannerText(const WideString& fileVersion);

// The whole life of the process; returns the exit code (always 0).
int RunProgram(int argumentCount, wchar_t** arguments);

// Test equipment: the copy, skip and purge rules of the robocopy work-alike.
#pragma once

#include <cstdint>
#include <string>

#include "options.h"

// robocopy's exit code bits.
enum ExitBits : int {
    kCopiedFiles = 1,
    kExtraEntries = 2,
    kMismatches = 4,
    kFailures = 8,
    kSeriousError = 16,
};

// Case-insensitive wildcard match: '*' any run, '?' one character.
bool WildcardMatch(const std::wstring& name, const std::wstring& pattern);

// Whether two last-write times (100 ns units) count as equal: exactly, or
// within two seconds with FAT times.
bool SameTime(int64_t a, int64_t b, bool fatTimes);

// The cut-off (100 ns units since 1601, UTC) of an age value: n < 1900 is
// n days before now, otherwise a local date YYYYMMDD at midnight.
int64_t AgeCutoff(uint64_t age, int64_t now);

// Runs the copy described by the options, writing robocopy's report lines
// to the report text; returns the exit code.
int RunMirror(const RobocopyOptions& options, std::wstring* report);

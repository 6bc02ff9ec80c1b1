// Test equipment: the command line of the robocopy work-alike.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RobocopyOptions {
    std::wstring source;
    std::wstring destination;
    std::vector<std::wstring> includeSpecs;   // none given: every file
    std::vector<std::wstring> excludeFiles;   // /xf
    std::vector<std::wstring> excludeDirs;    // /xd
    bool subdirectories = false;              // /s
    bool emptySubdirectories = false;         // /e (also by /mir)
    bool purge = false;                       // /purge (also by /mir)
    bool mirror = false;                      // /mir
    bool fatTimes = false;                    // /fft
    uint32_t retries = 1000000;               // /r:n
    uint32_t waitSeconds = 30;                // /w:n
    bool excludeOlder = false;                // /xo
    bool excludeExtra = false;                // /xx
    bool excludeJunctions = false;            // /xjd
    bool hasMaxAge = false;                   // /maxage:n
    uint64_t maxAge = 0;
    bool hasMinAge = false;                   // /minage:n
    uint64_t minAge = 0;
    bool hasMinSize = false;                  // /min:n
    uint64_t minSize = 0;
    bool hasMaxSize = false;                  // /max:n
    uint64_t maxSize = 0;
    bool listOnly = false;                    // /l
    uint32_t levels = 0;                      // /lev:n, 0 = no limit
};

struct ParseResult {
    bool ok = false;
    RobocopyOptions options;
    // On failure: the 1-based position of the rejected argument and the
    // message line robocopy prints.
    size_t badPosition = 0;
    std::wstring error;
};

// Parses the arguments after the program name, as robocopy does: the first
// two non-switch arguments are source and destination, later ones include
// specs until /xf or /xd switch to exclusion lists; switches are
// case-insensitive and may stand anywhere. An unknown switch, a bad value
// or a /xd pattern with both a path and a wildcard is an invalid parameter.
ParseResult ParseRobocopyArguments(const std::vector<std::wstring>& arguments);

// robocopy's own normalised switch list for the report header.
std::wstring OptionsSummary(const RobocopyOptions& options);

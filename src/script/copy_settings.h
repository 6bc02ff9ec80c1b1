// The settings of one robocopy run: everything the command line, the
// scripts and the script's file name are built from.
#pragma once

#include <cstdint>

#include "text/wide_string.h"

// robocopy's switches and their values, with the defaults of a new job.
struct CopyOptions {
    bool listOnly = false;           // /l
    bool subdirectories = true;      // /s
    bool mirror = false;             // /mir
    bool purge = true;               // /purge
    bool fatTimes = true;            // /fft
    bool retryOption = true;         // /r:<retryCount>
    bool waitOption = true;          // /w:<waitSeconds>
    uint16_t retryCount = 3;
    uint16_t waitSeconds = 5;
    bool excludeOlder = true;        // /xo
    bool excludeExtra = false;       // /xx
    bool excludeJunctions = true;    // /xjd
    bool excludeFilesOption = true;  // /xf <excludedFiles>
    bool excludeDirsOption = false;  // /xd <excludedDirs>
    bool minSizeOption = false;      // /min:<minSize>
    bool maxSizeOption = false;      // /max:<maxSize>
    uint64_t minSize = 0;
    uint64_t maxSize = uint64_t{1} << 40;
    bool maxAgeOption = false;       // /maxage:<maxAge>
    bool minAgeOption = false;       // /minage:<minAge>
    uint32_t maxAge = 19700101;      // days, or a date as YYYYMMDD
    uint32_t minAge = 0;
    bool longFinalPause = false;     // the script ends with a 100 s pause, not 10 s
};

// A plain value: copying it copies every field. The job (see BackupJob)
// holds its settings this way; the builders read nothing else.
class CopySettings {
public:
    WideString Source() const { return source_; }
    WideString Destination() const { return destination_; }
    WideString FileSpecs() const { return fileSpecs_; }
    WideString ExtraOptions() const { return extraOptions_; }
    WideString ExcludedFiles() const { return excludedFiles_; }
    WideString ExcludedDirs() const { return excludedDirs_; }
    bool LongFinalPause() const { return options_.longFinalPause; }
    uint16_t RetryCount() const { return options_.retryCount; }
    uint16_t WaitSeconds() const { return options_.waitSeconds; }
    uint64_t MinSize() const { return options_.minSize; }
    uint64_t MaxSize() const { return options_.maxSize; }
    uint32_t MaxAge() const { return options_.maxAge; }
    uint32_t MinAge() const { return options_.minAge; }
    const CopyOptions& Options() const { return options_; }
    // "robocopy"
    WideString ToolName() const { return L"robocopy"; }

    bool SetSource(const WideString& text) {
        source_ = text;
        return true;
    }
    bool SetMirror(bool on) {
        options_.mirror = on;
        return true;
    }
    bool SetPurge(bool on) {
        options_.purge = on;
        return true;
    }

protected:
    WideString source_;
    WideString destination_;
    WideString fileSpecs_;
    WideString extraOptions_;
    CopyOptions options_;
    WideString excludedFiles_ = L" mfc*.tmp  Thumbs.db ";
    WideString excludedDirs_;
};

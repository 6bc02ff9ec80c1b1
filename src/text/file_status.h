// A snapshot of one path's status from the runtime library's 64-bit status
// query, and the existence test built on it.
//
// The query reports a drive or share root ("C:\", "\\srv\share\") as a
// directory, but fails for a bare drive designator ("C:") and for names with
// '?' or '*'. Slashes are rewritten as backslashes before the query; a
// trailing separator is kept (so "C:\" is a directory and "C:/" is not,
// because normalising drops its separator).
#pragma once

#include <cstdint>

#include "text/wide_string.h"

class FileStatus {
public:
    explicit FileStatus(const WideString& path);

    bool Failed() const { return error_ != 0; }
    int ErrorNumber() const { return error_; }
    int64_t Size() const { return size_; }
    int64_t AccessTime() const { return accessTime_; }
    int64_t ModifyTime() const { return modifyTime_; }
    int64_t ChangeTime() const { return changeTime_; }
    uint16_t Mode() const { return mode_; }
    bool IsRegularFile() const { return (mode_ & 0xF000) == 0x8000; }
    bool IsDirectory() const { return (mode_ & 0xF000) == 0x4000; }

private:
    uint16_t mode_ = 0;
    int64_t size_ = 0;
    int64_t accessTime_ = 0;
    int64_t modifyTime_ = 0;
    int64_t changeTime_ = 0;
    int error_ = 0;
};

// Whether the path names something that exists. One trailing separator is
// removed first, so a drive root ("C:\", "E:/") counts as missing. Network
// paths ("\\...") are tested for existence only. Otherwise a directory
// exists, and a file exists unless nonEmptyFile is set and its size is 0.
bool PathExists(const WideString& path, bool nonEmptyFile);

// The existence test of the runtime library (access mode 0).
bool AccessExists(const WideString& path);

bool IsNetworkPath(const WideString& path);

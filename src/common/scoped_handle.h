// Owns one handle and closes it when it goes away. Handles of files opened
// with CreateFileW and of folder searches (FindFirstFileW) are invalid as
// INVALID_HANDLE_VALUE.
#pragma once

#include "common/windows_headers.h"

template <BOOL(WINAPI* Close)(HANDLE)>
class ScopedHandle {
public:
    explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
    ~ScopedHandle() {
        if (Valid()) Close(handle_);
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE Get() const { return handle_; }
    // Gives the handle up: the caller closes it.
    HANDLE Release() {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return handle;
    }

private:
    HANDLE handle_;
};

using ScopedFileHandle = ScopedHandle<CloseHandle>;
using ScopedFindHandle = ScopedHandle<FindClose>;

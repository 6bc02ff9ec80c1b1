// The progress line of a restore or a check, rewritten in place on a console.
#pragma once

#include <cstddef>
#include <cstdint>

#include "text/messages.h"
#include "text/wide_string.h"

// The progress line of a restore (ProgressDone) or a check (ProgressChecking):
//   "Restoring: 120 of 3,204 files, 12.1 MB of 1.2 GB, about 41 s left";
// the time left only once a second has passed and something was done.
WideString ProgressLine(Message head, uint64_t files, uint64_t allFiles, uint64_t bytes, uint64_t allBytes,
                        uint64_t elapsedMs);

// A progress line rewritten in place on a console, at most twice a second;
// none when the output is redirected.
class ProgressLineOnConsole {
public:
    explicit ProgressLineOnConsole(Message head);
    ~ProgressLineOnConsole();
    ProgressLineOnConsole(const ProgressLineOnConsole&) = delete;
    ProgressLineOnConsole& operator=(const ProgressLineOnConsole&) = delete;
    void Show(uint64_t files, uint64_t allFiles, uint64_t bytes, uint64_t allBytes);
    // Before a line of its own, the progress line goes.
    void Clear();
    uint64_t ElapsedSeconds() const;

private:
    static void Write(const WideString& text);
    Message head_;
    bool console_ = false;
    uint64_t start_ = 0;
    uint64_t shown_ = 0;
    size_t width_ = 0;
};

#include "restore/progress_line.h"

#include <algorithm>

#include "common/windows_headers.h"
#include "plan/backup_plan.h"
#include "text/number_text.h"

WideString ProgressLine(Message head, uint64_t files, uint64_t allFiles, uint64_t bytes, uint64_t allBytes,
                        uint64_t elapsedMs) {
    const WideString done = Say(head, {GroupedText(files), GroupedText(allFiles), SizeText(bytes),
                                                        SizeText(allBytes)});
    if (elapsedMs < 1000 || bytes == 0 || allBytes <= bytes) return done;
    // At the pace so far (bytes per millisecond), rounded up to whole seconds.
    const double left = static_cast<double>(allBytes - bytes) * static_cast<double>(elapsedMs) / static_cast<double>(bytes);
    return done + Say(Message::ProgressLeft, {GroupedText(static_cast<uint64_t>(left / 1000.0) + 1)});
}

ProgressLineOnConsole::ProgressLineOnConsole(Message head) : head_(head) {
    DWORD mode = 0;
    console_ = GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
    start_ = GetTickCount64();
}

ProgressLineOnConsole::~ProgressLineOnConsole() { Clear(); }

void ProgressLineOnConsole::Show(uint64_t files, uint64_t allFiles, uint64_t bytes, uint64_t allBytes) {
    const uint64_t now = GetTickCount64();
    if (!console_ || (shown_ != 0 && now - shown_ < 500)) return;
    shown_ = now;
    const WideString line = ProgressLine(head_, files, allFiles, bytes, allBytes, now - start_);
    // A shorter line clears what the longer one before it left.
    Write(L"\r" + line + WideString(width_ > line.size() ? width_ - line.size() : 0, L' ') + L"\r");
    width_ = std::max(width_, line.size());
}

void ProgressLineOnConsole::Clear() {
    if (width_ == 0) return;
    Write(L"\r" + WideString(width_, L' ') + L"\r");
    width_ = 0;
    shown_ = 0;
}

uint64_t ProgressLineOnConsole::ElapsedSeconds() const { return (GetTickCount64() - start_) / 1000; }

void ProgressLineOnConsole::Write(const WideString& text) {
    DWORD written = 0;
    WriteConsoleW(GetStdHandle(STD_OUTPUT_HANDLE), text.c_str(), static_cast<DWORD>(text.size()), &written, nullptr);
}

#include "text/time_text.h"

#include <cwchar>

namespace {

constexpr size_t kBufferSize = 256;
// wcsftime may use at most this many characters, the terminator included.
constexpr size_t kLimit = 255;

}  // namespace

WideString FormatTime(const WideString& pattern, const std::tm& time) {
    wchar_t buffer[kBufferSize] = {};
    const size_t length = std::wcsftime(buffer, kLimit, pattern.c_str(), &time);
    // Some runtimes fill the whole limit without room for the terminator;
    // such a result is as cut as one that did not fit.
    if (length == 0 || length >= kLimit) return WideString();
    return WideString(buffer, length);
}

WideString FormatNow(const WideString& pattern) {
    const __time64_t now = _time64(nullptr);
    std::tm local = {};
    if (_localtime64_s(&local, &now) != 0) return WideString();
    return FormatTime(pattern, local);
}

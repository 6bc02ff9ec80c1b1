#include "text/console_output.h"

#include <algorithm>
#include <iostream>

namespace {

constexpr size_t kFlushThreshold = 4096;

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }

unsigned OutputCodePage() {
    const UINT console = GetConsoleOutputCP();
    return console != 0 ? console : GetACP();
}

bool WriteAll(HANDLE output, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
        if (!WriteFile(output, bytes.data() + done, chunk, &written, nullptr) || written == 0) {
            return false;
        }
        done += written;
    }
    return true;
}

}  // namespace

std::string EncodeForOutput(const WideString& text, unsigned codePage) {
    if (text.empty()) return std::string();
    const int length = static_cast<int>(text.size());
    // UTF-8 and UTF-7 accept no default character; every other page gets '?'.
    const bool utf = codePage == CP_UTF8 || codePage == CP_UTF7;
    const DWORD flags = utf ? 0 : WC_NO_BEST_FIT_CHARS;
    const char* fallback = utf ? nullptr : "?";
    const int size =
        WideCharToMultiByte(codePage, flags, text.c_str(), length, nullptr, 0, fallback, nullptr);
    if (size <= 0) return std::string(text.size(), '?');
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(codePage, flags, text.c_str(), length, &bytes[0], size, fallback, nullptr);
    return bytes;
}

ConsoleStreamBuffer::ConsoleStreamBuffer(HANDLE output) : output_(output) {}

ConsoleStreamBuffer::~ConsoleStreamBuffer() { Flush(); }

ConsoleStreamBuffer::int_type ConsoleStreamBuffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    pending_ += traits_type::to_char_type(c);
    if (pending_.size() >= kFlushThreshold) Flush();
    return c;
}

int ConsoleStreamBuffer::sync() { return Flush() ? 0 : -1; }

bool ConsoleStreamBuffer::Flush() {
    if (pending_.empty()) return true;
    // Keep a lone high surrogate until its partner arrives.
    WideString text;
    if (IsHighSurrogate(pending_.back())) {
        text = pending_.substr(0, pending_.size() - 1);
        pending_.erase(0, pending_.size() - 1);
    } else {
        text.swap(pending_);
    }
    if (text.empty()) return true;
    if (output_ == nullptr || output_ == INVALID_HANDLE_VALUE) return true;

    DWORD mode = 0;
    if (GetConsoleMode(output_, &mode)) {
        DWORD written = 0;
        return WriteConsoleW(output_, text.data(), static_cast<DWORD>(text.size()), &written,
                             nullptr) != 0;
    }
    // Files and pipes get the line ends of a text-mode stream.
    WideString lines;
    lines.reserve(text.size() + text.size() / 16);
    for (const wchar_t c : text) {
        if (c == L'\n') lines += L'\r';
        lines += c;
    }
    return WriteAll(output_, EncodeForOutput(lines, OutputCodePage()));
}

void InstallConsoleStreams() {
    // Never destroyed: the runtime flushes the standard streams at exit,
    // after function-local objects would already be gone.
    static auto* outputBuffer = new ConsoleStreamBuffer(GetStdHandle(STD_OUTPUT_HANDLE));
    static auto* errorBuffer = new ConsoleStreamBuffer(GetStdHandle(STD_ERROR_HANDLE));
    std::wcout.flush();
    std::wcerr.flush();
    std::wcout.rdbuf(outputBuffer);
    std::wcerr.rdbuf(errorBuffer);
}

void PrintLine(const WideString& text) { std::wcout << text << std::endl; }

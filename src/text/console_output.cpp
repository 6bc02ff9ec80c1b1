#include "text/console_output.h"

#include <algorithm>

namespace {

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

ConsoleWriter::ConsoleWriter(HANDLE output) : output_(output) {}

bool ConsoleWriter::Write(const WideString& text) const {
    if (text.empty() || output_ == nullptr || output_ == INVALID_HANDLE_VALUE) return true;
    DWORD mode = 0;
    if (GetConsoleMode(output_, &mode)) {
        DWORD written = 0;
        return WriteConsoleW(output_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) != 0;
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

namespace {

// Where a test collects a stream's text instead; null when it is written.
WideString* capturedOutput = nullptr;
WideString* capturedError = nullptr;

const ConsoleWriter& OutputWriter() {
    static const ConsoleWriter writer(GetStdHandle(STD_OUTPUT_HANDLE));
    return writer;
}

const ConsoleWriter& ErrorWriter() {
    static const ConsoleWriter writer(GetStdHandle(STD_ERROR_HANDLE));
    return writer;
}

void Emit(WideString* captured, const ConsoleWriter& writer, const WideString& text) {
    if (captured != nullptr) {
        *captured += text;
        return;
    }
    writer.Write(text);
}

}  // namespace

void InstallConsoleStreams() {
    OutputWriter();
    ErrorWriter();
}

void PrintLine(const WideString& text) { Emit(capturedOutput, OutputWriter(), text + L"\n"); }

void PrintErrorLine(const WideString& text) { Emit(capturedError, ErrorWriter(), text + L"\n"); }

void PrintErrorText(const WideString& text) { Emit(capturedError, ErrorWriter(), text); }

ConsoleCapture::ConsoleCapture(Stream stream)
    : stream_(stream), saved_(stream == Stream::Output ? capturedOutput : capturedError) {
    (stream_ == Stream::Output ? capturedOutput : capturedError) = &text_;
}

ConsoleCapture::~ConsoleCapture() { (stream_ == Stream::Output ? capturedOutput : capturedError) = saved_; }

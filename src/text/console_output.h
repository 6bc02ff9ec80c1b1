// The program's console lines.
//
// The standard wide streams are routed through ConsoleStreamBuffer: on a
// console the text is written as UTF-16 with WriteConsoleW, so every
// character shows; redirected to a file or pipe it is converted to the
// console's output code page (or the ANSI one), with '?' for characters that
// page lacks. Unlike the runtime library's own conversion, a character that
// cannot be converted never puts the stream into a failed state, so no later
// line is lost.
#pragma once

#include <streambuf>
#include <string>

#include "common/windows_headers.h"
#include "text/wide_string.h"

// The bytes that stand for the text in the code page; '?' for what the page
// cannot carry.
std::string EncodeForOutput(const WideString& text, unsigned codePage);

class ConsoleStreamBuffer : public std::wstreambuf {
public:
    explicit ConsoleStreamBuffer(HANDLE output);
    ~ConsoleStreamBuffer() override;

protected:
    int_type overflow(int_type c) override;
    int sync() override;

private:
    bool Flush();

    HANDLE output_;
    WideString pending_;
};

// Routes std::wcout and std::wcerr through console stream buffers. Call once
// at start-up; the buffers stay for the rest of the process.
void InstallConsoleStreams();

// Writes the text and a line end to the standard output and flushes.
void PrintLine(const WideString& text);

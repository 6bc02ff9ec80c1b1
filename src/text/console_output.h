// The program's console lines.
//
// Lines go to the standard output or error as they are said: on a console as
// UTF-16 with WriteConsoleW, so every character shows; redirected to a file
// or pipe converted to the console's output code page (or the ANSI one),
// with '?' for characters that page lacks, so a character that cannot be
// converted never stops a later line. No runtime stream is used: the
// program carries none of their code.
#pragma once

#include <string>

#include "common/windows_headers.h"
#include "text/wide_string.h"

// The bytes that stand for the text in the code page; '?' for what the page
// cannot carry.
std::string EncodeForOutput(const WideString& text, unsigned codePage);

// Writes text to one handle: a console, a file or a pipe.
class ConsoleWriter {
public:
    explicit ConsoleWriter(HANDLE output);
    // False when the handle took it not whole.
    bool Write(const WideString& text) const;

private:
    HANDLE output_;
};

// Takes the standard handles for the program's lines. Call once at
// start-up; before it, the first line takes them.
void InstallConsoleStreams();

// A line on the standard output, and one on the standard error.
void PrintLine(const WideString& text);
void PrintErrorLine(const WideString& text);
// Text without a line end on the standard error (an attempt counter that
// ends in "\r" and is written over).
void PrintErrorText(const WideString& text);

// For tests: while one lives, what is said on its stream is collected
// instead of written.
class ConsoleCapture {
public:
    enum class Stream { Output, Error };
    explicit ConsoleCapture(Stream stream);
    ~ConsoleCapture();
    ConsoleCapture(const ConsoleCapture&) = delete;
    ConsoleCapture& operator=(const ConsoleCapture&) = delete;

    const WideString& Text() const { return text_; }

private:
    Stream stream_;
    WideString text_;
    WideString* saved_;
};

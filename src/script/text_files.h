// Writing the program's text files. Every writer opens its file with
// retries: a file that cannot be opened is tried again every 100 ms, the
// attempt number and a CR going to the error stream after each failure, so
// the count overwrites itself on one console line.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "text/wide_string.h"

using ByteVector = std::vector<uint8_t>;

// The text in code page 932 (Shift JIS), up to its first NUL; characters the
// page lacks become "_" (no best-fit look-alikes). Empty when the
// conversion fails.
ByteVector ToCodePage932(const WideString& text);

// The text in the code page; for other than UTF-8 as ToCodePage932 does.
ByteVector ToCodePage(const WideString& text, unsigned codePage);

// The UTF-8 bytes as text (invalid sequences become U+FFFD).
WideString FromUtf8(const std::string& bytes);

// The text as UTF-8 bytes, up to its first NUL, without a terminator.
ByteVector ToUtf8(const WideString& text);

// Writes the text in code page 932 without byte order mark. False when the
// file could not be written completely (every write and the close are
// checked; "Can't write " and the path go to the error stream), when it
// does not read back at its full length after 11 rewrites, or
// when a non-empty text converts to no bytes at all.
bool WriteTextFile(const WideString& path, const WideString& text);

// Creates or truncates the file and writes the bytes (up to 100 open
// attempts). A non-empty vector that leaves an empty file is written again
// after 10 ms, at most up to rewrite number 10. On giving up writes
// "Can't open wb  " and the path to the error stream.
bool WriteBytesWithRetry(const WideString& path, const ByteVector& bytes, int rewriteNumber);

// Writes each element followed by CR LF in UTF-8 (no byte order mark).
// False when the path is empty or the file could not be opened or written
// completely.
bool WriteUtf8Lines(const WideString& path, const StringList& lines);

// "<folder>\<computer>.txt", the folder-list file.
WideString FolderListFilePath(const WideString& folder);

// Writes the lines as the folder-list file (UTF-8, each followed by CR LF)
// without ever leaving a partial list: the text goes to a temporary file
// beside it, which replaces the old list only when it was written and
// closed completely. Returns the system's reason when that failed (the old
// list then stays as it was and the temporary file is removed), else empty.
WideString ReplaceFolderListFile(const StringList& lines, const WideString& folder);

// Replaces the file with the bytes without ever leaving a partial file: they
// go to "<path>.new", flushed, which then replaces it. Returns the system's
// reason when that failed (the old file stays, the temporary one is
// removed), else empty.
WideString ReplaceFileWith(const WideString& path, const void* bytes, size_t size);

// The same, the bytes written as they are produced: produce calls write
// (bytes, size) as often as it likes, through a buffer of its own, so that a
// large file is never held whole in memory.
using ChunkWriter = std::function<void(const void* bytes, size_t size)>;
// check (when given) is asked of the written temporary file before it takes
// the old one's place: a problem it returns leaves the old file as it was.
WideString ReplaceFileWriting(const WideString& path, const std::function<void(const ChunkWriter& write)>& produce,
                              const std::function<WideString(const WideString& written)>& check = nullptr);

// Calls each for every line of the file as a LineCutter cuts it (see
// script/file_lines.h: LF or CR LF ended, empty lines and lines longer
// than any path left out, a leading byte-order mark skipped), reading it a
// piece at a time; read (when given) gets each piece as it was read, the
// file's bytes whole. True for a missing file (no lines); false when it is
// there but cannot be read to its end.
bool ForEachFileLine(const WideString& path, const std::function<void(const std::string& line)>& each,
                     const std::function<void(const char* bytes, size_t size)>& read = nullptr);

// The file's bytes (none for a missing file); false when it is there but
// cannot be opened.
bool ReadWholeFile(const WideString& path, std::string* bytes);

// Opens the file with the mode, trying seconds × 10 times (at least once).
// Returns null when the path is empty or every attempt failed.
FILE* OpenWithRetry(const WideString& path, const WideString& mode, int seconds);

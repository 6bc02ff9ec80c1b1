// Reading the program's own files (the stick's history, checksum lists and
// records, the folder list) line by line without trusting them: a stick
// passes through many hands, so a file may hold one endless line or start
// with a byte-order mark that an editor added.
#pragma once

#include <cstddef>
#include <functional>
#include <string>


// The longest line kept, in bytes: more than the longest real line (a
// checksum, two blanks and a path of 32,767 characters of three UTF-8 bytes
// each). A longer line is dropped whole, never held.
constexpr size_t kLongestLine = 131072;

// Cuts bytes into lines as they come: LF or CR LF ends a line, empty lines
// and lines longer than the limit are left out, a UTF-8 byte-order mark at
// the very start is skipped.
//   "\xEF\xBB\xBFa\r\nb" => "a", "b"    "a\n\nb\n" => "a", "b"
//   (limit 3) "abcd\nxy\n" => "xy"
class LineCutter {
public:
    using LineSink = std::function<void(const std::string& line)>;
    explicit LineCutter(LineSink each, size_t limit = kLongestLine);
    void Feed(const char* bytes, size_t size);
    // The last line, when the bytes end without a line end.
    void Finish();
    // The lines left out for being longer than the limit, so far.
    size_t LongLinesLeftOut() const { return longLinesLeftOut_; }

private:
    void EndLine();

    LineSink each_;
    size_t limit_;
    std::string line_;
    size_t bomMatched_ = 0;  // bytes of the mark seen at the start
    bool started_ = false;   // past the place where a mark can be
    bool tooLong_ = false;   // the line being read is dropped
    size_t longLinesLeftOut_ = 0;
};

#include "verify/checksum_lines.h"

#include <algorithm>

#include "script/text_files.h"

std::string ListPath(const WideString& relative) {
    WideString slashed = relative;
    std::replace(slashed.begin(), slashed.end(), L'\\', L'/');
    const ByteVector bytes = ToUtf8(slashed);
    return std::string(bytes.begin(), bytes.end());
}

WideString PathFromList(const std::string& text) {
    WideString relative = FromUtf8(text);
    std::replace(relative.begin(), relative.end(), L'/', L'\\');
    return relative;
}

bool ReadChecksumLine(const std::string& line, Digest* digest, WideString* relative) {
    if (line.size() < 67 || line.compare(64, 2, "  ") != 0) return false;
    // Hex digits are ASCII: a byte of any other kind is none of them.
    WideString hex(64, L'\0');
    for (size_t i = 0; i < 64; ++i) hex[i] = static_cast<wchar_t>(static_cast<unsigned char>(line[i]));
    if (!DigestFromHex(hex, digest)) return false;
    *relative = PathFromList(line.substr(66));
    return IsRecordPathBelow(*relative);
}

bool IsRecordPathBelow(const WideString& relative) {
    if (relative.empty()) return false;
    size_t start = 0;
    for (;;) {
        size_t end = relative.find(L'\\', start);
        if (end == WideString::npos) end = relative.size();
        const size_t size = end - start;
        const wchar_t* name = relative.data() + start;
        const bool dots = (size == 1 && name[0] == L'.') || (size == 2 && name[0] == L'.' && name[1] == L'.');
        if (size == 0 || dots || std::find(name, name + size, L':') != name + size) return false;
        // No file name holds a control character; a NUL would cut the path short in the book.
        if (std::any_of(name, name + size, [](wchar_t c) { return c < 0x20; })) return false;
        if (end == relative.size()) return true;
        start = end + 1;
    }
}

std::string ChecksumLine(const Digest& digest, const WideString& relative) {
    const ByteVector hex = ToUtf8(DigestHex(digest));
    return std::string(hex.begin(), hex.end()) + "  " + ListPath(relative);
}

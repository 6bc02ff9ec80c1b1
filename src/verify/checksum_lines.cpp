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
    if (!DigestFromHex(FromUtf8(line.substr(0, 64)), digest)) return false;
    *relative = PathFromList(line.substr(66));
    return IsRecordPathBelow(*relative);
}

bool IsRecordPathBelow(const WideString& relative) {
    if (relative.empty()) return false;
    size_t start = 0;
    for (;;) {
        const size_t end = relative.find(L'\\', start);
        const WideString name = relative.substr(start, end == WideString::npos ? WideString::npos : end - start);
        if (name.empty() || name == L"." || name == L".." || name.find(L':') != WideString::npos) return false;
        if (end == WideString::npos) return true;
        start = end + 1;
    }
}

std::string ChecksumLine(const Digest& digest, const WideString& relative) {
    const ByteVector hex = ToUtf8(DigestHex(digest));
    return std::string(hex.begin(), hex.end()) + "  " + ListPath(relative);
}

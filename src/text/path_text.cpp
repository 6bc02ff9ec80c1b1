#include "text/path_text.h"

#include "text/split_join.h"

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

WideString StripTrailingSeparator(const WideString& path) {
    if (path.empty() || !IsSeparator(path.back())) return path;
    return path.substr(0, path.size() - 1);
}

WideString AppendSeparator(const WideString& path, wchar_t separator) {
    if (path.empty() || IsSeparator(path.back())) return path;
    return path + separator;
}

WideString JoinPath(const WideString& left, const WideString& right) {
    return AppendSeparator(left, L'\\') + right;
}

WideString NormalizeSeparators(const WideString& path, wchar_t separator) {
    const WideString pass1 = JoinWithChar(SplitOnChar(path, L'\\'), L'\\');
    const WideString pass2 = JoinWithChar(SplitOnChar(pass1, L'/'), L'\\');
    const StringList parts = SplitOnChar(pass2, L'\\');
    StringList kept;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i < 2 || !parts[i].empty()) kept.push_back(parts[i]);
    }
    return JoinWithChar(kept, separator);
}

namespace {

// The position of the last '\', or without one the last '/'.
size_t LastSeparatorPosition(const WideString& path) {
    const size_t backslash = path.rfind(L'\\');
    if (backslash != kNoPosition) return backslash;
    return path.rfind(L'/');
}

}  // namespace

WideString FileNamePart(const WideString& path) {
    const size_t separator = LastSeparatorPosition(path);
    if (separator == kNoPosition) return path;
    return path.substr(separator + 1);
}

WideString ParentPath(const WideString& path) {
    const size_t separator = LastSeparatorPosition(path);
    if (separator == kNoPosition) return L"\\";
    return path.substr(0, separator);
}

WideString DriveOrServerRoot(const WideString& path) {
    if (path.size() < 2) return WideString();
    if (path[1] == L':') return path.substr(0, 2);
    const bool uncStart = (path[0] == L'\\' && path[1] == L'\\') || (path[0] == L'/' && path[1] == L'/');
    if (!uncStart) return WideString();
    size_t end = path.find(L'\\', 2);
    if (end == kNoPosition) end = path.find(L'/', 2);
    if (end == kNoPosition) return WideString();
    return path.substr(0, end);
}

WideString ShareRootOf(const WideString& path) {
    if (path.size() >= 2 && path[1] == L':') return path.substr(0, 2);
    const size_t server = path.find(L'\\', 2);
    if (server == kNoPosition) return path;
    return path.substr(0, path.find(L'\\', server + 1));
}

WideString QuoteWith(const WideString& text, wchar_t quote) { return quote + text + quote; }

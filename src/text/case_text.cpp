#include "text/case_text.h"

#include <clocale>
#include <cstring>

#include "common/windows_headers.h"

namespace {

// True when a locale other than the classic "C" one is installed for
// character classification.
bool HasClassificationLocale() {
    const char* name = std::setlocale(LC_CTYPE, nullptr);
    return name != nullptr && std::strcmp(name, "C") != 0;
}

WideString AsciiLower(WideString text) {
    for (wchar_t& c : text) {
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return text;
}

WideString LocaleLower(const WideString& text) {
    if (text.empty()) return text;
    WideString lower(text.size(), L'\0');
    const int length = LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_LOWERCASE, text.c_str(),
                                    static_cast<int>(text.size()), &lower[0],
                                    static_cast<int>(lower.size()));
    if (length <= 0) return AsciiLower(text);
    lower.resize(static_cast<size_t>(length));
    return lower;
}

// Characters no locale lowers: CJK punctuation, kana, ideographs and the
// fullwidth and halfwidth forms other than the fullwidth Latin letters. A
// Japanese name made of these and ASCII folds without the locale.
bool IsCaseless(wchar_t c) {
    return (c >= 0x3000 && c <= 0x30FF) || (c >= 0x31F0 && c <= 0x31FF) || (c >= 0x3400 && c <= 0x4DBF) ||
           (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF01 && c <= 0xFF20) ||
           (c >= 0xFF3B && c <= 0xFF40) || (c >= 0xFF5B && c <= 0xFFEF);
}

}  // namespace

WideString ToLowerText(const WideString& text) {
    const WideString cut = text.substr(0, text.find(L'\0'));
    return HasClassificationLocale() ? LocaleLower(cut) : AsciiLower(cut);
}

bool FoldsWithoutLocale(wchar_t c) { return c < 0x80 || IsCaseless(c); }

WideString FoldedKey(const WideString& text) {
    WideString key = text;
    for (wchar_t& c : key) {
        if (c >= 0x80 && !IsCaseless(c)) return ToLowerText(text);
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return key;
}

size_t FindNoCase(const WideString& text, const WideString& pattern, size_t start) {
    const size_t exact = text.find(pattern, start);
    if (exact != kNoPosition) return exact;
    return ToLowerText(text).find(ToLowerText(pattern), start);
}

void InstallUserLocale() { std::setlocale(LC_ALL, ""); }

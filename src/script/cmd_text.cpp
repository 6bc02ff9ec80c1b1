#include "script/cmd_text.h"

#include "common/windows_headers.h"

WideString DoublePercents(const WideString& text) {
    WideString result;
    result.reserve(text.size());
    for (const wchar_t c : text) {
        if (c == L'%') result += L'%';
        result += c;
    }
    return result;
}

WideString EscapeForEcho(const WideString& text) {
    static const WideString kOperators = L"^&|<>()";
    WideString result;
    result.reserve(text.size());
    for (const wchar_t c : text) {
        if (c == L'%') result += L'%';
        if (kOperators.find(c) != kNoPosition) result += L'^';
        result += c;
    }
    return result;
}

bool FitsCodePage(const WideString& text, unsigned codePage) {
    if (text.empty()) return true;
    if (codePage == CP_UTF8) {
        return WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.c_str(), static_cast<int>(text.size()),
                                   nullptr, 0, nullptr, nullptr) > 0;
    }
    BOOL usedDefault = FALSE;
    const int size = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text.c_str(),
                                         static_cast<int>(text.size()), nullptr, 0, nullptr, &usedDefault);
    return size > 0 && !usedDefault;
}

bool FitsCodePage932(const WideString& text) { return FitsCodePage(text, 932); }

unsigned ScriptCodePage() {
    const UINT console = GetConsoleOutputCP();
    return console != 0 ? console : GetOEMCP();
}

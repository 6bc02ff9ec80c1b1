#include "text/system_error.h"

#include <string>
#include "text/messages.h"

WideString SystemErrorText(DWORD errorCode) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, errorCode, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
        reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    if (length == 0 || buffer == nullptr) return WideString();
    const WideString text(buffer, length);
    LocalFree(buffer);
    return text;
}

WideString SystemReason(DWORD errorCode) {
    WideString text = SystemErrorText(errorCode);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ' ||
                             text.back() == L'.')) {
        text.pop_back();
    }
    if (text.empty()) return Say(Message::ErrorNumber, {std::to_wstring(errorCode)});
    return text;
}

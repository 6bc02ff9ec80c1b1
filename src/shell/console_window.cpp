#include "shell/console_window.h"

#include "common/system_calls.h"

#include "text/number_text.h"

namespace {

constexpr DWORD kTitleCapacity = 1024;
// Time for the console host to apply the new title before the lookup.
constexpr DWORD kTitleSettleMilliseconds = 40;

}  // namespace

WideString ConsoleTitleProbe(uint32_t tickCount, uint32_t processId) {
    return IntegerToText(tickCount, 10) + L"/" + IntegerToText(processId, 10);
}

HWND FindOwnConsoleWindow() {
    WideString saved(kTitleCapacity, L'\0');
    const DWORD length = GetConsoleTitleW(&saved[0], kTitleCapacity);
    saved.resize(length < kTitleCapacity ? length : kTitleCapacity - 1);
    saved = saved.substr(0, saved.find(L'\0'));

    const DWORD processId = GetCurrentProcessId();
    const DWORD tickCount = GetTickCount();
    const WideString probe = ConsoleTitleProbe(tickCount, processId);
    SetConsoleTitleW(probe.c_str());
    Sleep(kTitleSettleMilliseconds);
    HWND window = CallFindWindow(nullptr, probe.c_str());
    SetConsoleTitleW(saved.c_str());
    return window;
}

// Test equipment: a stand-in for the timeout command, which Wine lacks.
// Accepts "timeout /t N" and "timeout N" (and /nobreak), says how long it
// would wait and returns at once; with BRISK_TIMEOUT_WAIT=1 it really waits.
// Scenarios use the pauses of a running backup script to change the world:
// BRISK_TIMEOUT_DELETE=<folder> deletes that folder tree (so the first
// pause deletes it), BRISK_TIMEOUT_FILL=<file> makes a pause of 100 seconds
// or more (a backup script's last) write zeros into the file until its
// drive is full. BRISK_TIMEOUT_HOLD=<file> starts the file_locker test
// program (BRISK_TIMEOUT_LOCKER names it) on that file once it is there, so
// that it is held open without sharing for a minute, as by a program that
// opened it.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <cwctype>
#include <string>

#include "test_support.h"

namespace {

bool ParseSeconds(const std::wstring& text, long* seconds) {
    if (text.empty()) return false;
    wchar_t* end = nullptr;
    const long value = std::wcstol(text.c_str(), &end, 10);
    if (*end != L'\0' || value < -1 || value > 99999) return false;
    *seconds = value;
    return true;
}

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

std::wstring Environment(const wchar_t* name) {
    wchar_t value[1024] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, 1024);
    return length > 0 && length < 1024 ? value : L"";
}

void FillDrive(const std::wstring& file) {
    HANDLE handle = CreateFileW(file.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return;
    static const char zeros[4096] = {};
    DWORD written = 0;
    for (DWORD size = sizeof zeros; size > 0; size /= 2) {
        while (WriteFile(handle, zeros, size, &written, nullptr) && written == size) {
        }
    }
    CloseHandle(handle);
}

// Starts the locker on the file, when it is there.
void Hold(const std::wstring& file, const std::wstring& locker) {
    if (GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    std::wstring command = L"\"" + locker + L"\" \"" + file + L"\" 60";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr, nullptr, &startup,
                        &started)) {
        return;
    }
    // Held once the locker has opened it.
    WaitForSingleObject(started.hProcess, 500);
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    long seconds = 0;
    bool haveSeconds = false;
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = Lower(argv[i]);
        if (argument == L"/nobreak") continue;
        if (argument == L"/t" && i + 1 < argc && ParseSeconds(argv[i + 1], &seconds)) {
            haveSeconds = true;
            ++i;
            continue;
        }
        if (!haveSeconds && ParseSeconds(argument, &seconds)) {
            haveSeconds = true;
            continue;
        }
        std::fwprintf(stderr, L"ERROR: Invalid syntax. Usage: timeout /t N [/nobreak]\n");
        return 1;
    }
    if (!haveSeconds) {
        std::fwprintf(stderr, L"ERROR: Invalid syntax. Usage: timeout /t N [/nobreak]\n");
        return 1;
    }
    wchar_t really[8] = {};
    const bool wait = GetEnvironmentVariableW(L"BRISK_TIMEOUT_WAIT", really, 8) > 0 && really[0] == L'1';
    const std::wstring doomed = Environment(L"BRISK_TIMEOUT_DELETE");
    if (!doomed.empty()) DeleteTree(doomed);
    const std::wstring held = Environment(L"BRISK_TIMEOUT_HOLD");
    if (!held.empty()) Hold(held, Environment(L"BRISK_TIMEOUT_LOCKER"));
    const std::wstring filler = Environment(L"BRISK_TIMEOUT_FILL");
    if (!filler.empty() && seconds >= 100) FillDrive(filler);
    std::printf("Waiting for %ld seconds%s\n", seconds, wait ? "" : " (test stand-in: not waiting)");
    std::fflush(stdout);
    if (wait && seconds > 0) Sleep(static_cast<DWORD>(seconds) * 1000);
    return 0;
}

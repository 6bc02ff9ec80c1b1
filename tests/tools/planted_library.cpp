// Test equipment: a library planted beside the program under a system
// library's name (version.dll, mpr.dll). Loaded, it leaves a marker file
// named by BRISK_PLANTED_MARKER, so a scenario can tell that it was loaded.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    wchar_t marker[1024] = {};
    const DWORD length = GetEnvironmentVariableW(L"BRISK_PLANTED_MARKER", marker, 1024);
    if (length == 0 || length >= 1024) return TRUE;
    const HANDLE file = CreateFileW(marker, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return TRUE;
}

// Libraries beyond the ones Windows always takes from its own folder are
// loaded from the system folder only. The program is started from sticks
// that pass through many hands: a library of the same name beside the
// program (or in the current folder) must never be loaded instead.
#pragma once

#include <functional>
#include <string>

#include "common/windows_headers.h"

// Makes the system folder the only place the process loads libraries from
// by default (for the libraries system libraries load in turn). Call first.
void LoadLibrariesFromSystemFolderOnly();

// Loads a library: (name or full path, LoadLibraryExW flags, the error
// when it returns null).
using LibraryLoader = std::function<HMODULE(const std::wstring& library, DWORD flags, DWORD* error)>;

// Loads a system library from the system folder only: with
// LOAD_LIBRARY_SEARCH_SYSTEM32, or, where Windows does not know that flag
// (Windows 7 without its safe-loading update answers
// ERROR_INVALID_PARAMETER), by its full path in the system folder, its own
// imports then looked for beside it first. Any other failure is final.
//   ("version.dll", "C:\Windows\system32", flag refused) => loads "C:\Windows\system32\version.dll"
HMODULE LoadFromSystemFolder(const wchar_t* library, const std::wstring& systemFolder, const LibraryLoader& load);

// The function of a system library, loaded from the system folder; null
// when the library or the function is not there.
//   SystemFunction<decltype(&WNetGetConnectionW)>(L"mpr.dll", "WNetGetConnectionW")
FARPROC SystemProcedure(const wchar_t* library, const char* name);

template <typename Function>
Function SystemFunction(const wchar_t* library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(SystemProcedure(library, name)));
}

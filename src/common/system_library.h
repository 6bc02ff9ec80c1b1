// Libraries beyond the ones Windows always takes from its own folder are
// loaded from the system folder only. The program is started from sticks
// that pass through many hands: a library of the same name beside the
// program (or in the current folder) must never be loaded instead.
#pragma once

#include "common/windows_headers.h"

// Makes the system folder the only place the process loads libraries from
// by default (for the libraries system libraries load in turn). Call first.
void LoadLibrariesFromSystemFolderOnly();

// The function of a system library, loaded from the system folder; null
// when the library or the function is not there.
//   SystemFunction<decltype(&WNetGetConnectionW)>(L"mpr.dll", "WNetGetConnectionW")
FARPROC SystemProcedure(const wchar_t* library, const char* name);

template <typename Function>
Function SystemFunction(const wchar_t* library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(SystemProcedure(library, name)));
}

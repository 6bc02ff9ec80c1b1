// The few calls the program makes into the shell, user-interface and COM
// libraries. The program imports none of these libraries: each is loaded
// from the system folder on first use (see system_library.h), because on
// some systems they import, in turn, libraries that Windows looks for
// beside the program first. Each call answers as the system's own does
// when its library cannot be loaded: a failure.
#pragma once

#include "common/windows_headers.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

int CallSHCreateDirectoryEx(HWND window, const wchar_t* path, const SECURITY_ATTRIBUTES* security);
HRESULT CallSHGetMalloc(IMalloc** allocator);
HRESULT CallSHGetSpecialFolderLocation(HWND window, int csidl, LPITEMIDLIST* items);
BOOL CallSHGetPathFromIDList(LPCITEMIDLIST items, wchar_t* path);
HINSTANCE CallShellExecute(HWND window, const wchar_t* verb, const wchar_t* file, const wchar_t* parameters,
                           const wchar_t* folder, int showCommand);
BOOL CallShellExecuteEx(SHELLEXECUTEINFOW* info);
HRESULT CallCoInitialize();
HRESULT CallCoCreateInstance(REFCLSID type, IUnknown* outer, DWORD context, REFIID interfaceId, void** object);
HWND CallFindWindow(const wchar_t* className, const wchar_t* title);
BOOL CallShowWindow(HWND window, int command);
int CallMessageBox(HWND window, const wchar_t* text, const wchar_t* caption, UINT type);

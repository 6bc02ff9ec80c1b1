#include "common/system_calls.h"

#include "common/system_library.h"

namespace {

template <typename Function>
Function FromShell(const char* name) {
    return SystemFunction<Function>(L"shell32.dll", name);
}

template <typename Function>
Function FromUser(const char* name) {
    return SystemFunction<Function>(L"user32.dll", name);
}

template <typename Function>
Function FromCom(const char* name) {
    return SystemFunction<Function>(L"ole32.dll", name);
}

}  // namespace

int CallSHCreateDirectoryEx(HWND window, const wchar_t* path, const SECURITY_ATTRIBUTES* security) {
    static const auto call = FromShell<decltype(&SHCreateDirectoryExW)>("SHCreateDirectoryExW");
    return call == nullptr ? ERROR_PROC_NOT_FOUND : call(window, path, security);
}

HRESULT CallSHGetMalloc(IMalloc** allocator) {
    static const auto call = FromShell<decltype(&SHGetMalloc)>("SHGetMalloc");
    return call == nullptr ? E_NOTIMPL : call(allocator);
}

HRESULT CallSHGetSpecialFolderLocation(HWND window, int csidl, LPITEMIDLIST* items) {
    static const auto call = FromShell<decltype(&SHGetSpecialFolderLocation)>("SHGetSpecialFolderLocation");
    return call == nullptr ? E_NOTIMPL : call(window, csidl, items);
}

BOOL CallSHGetPathFromIDList(LPCITEMIDLIST items, wchar_t* path) {
    static const auto call = FromShell<decltype(&SHGetPathFromIDListW)>("SHGetPathFromIDListW");
    return call != nullptr && call(items, path);
}

HINSTANCE CallShellExecute(HWND window, const wchar_t* verb, const wchar_t* file, const wchar_t* parameters,
                           const wchar_t* folder, int showCommand) {
    static const auto call = FromShell<decltype(&ShellExecuteW)>("ShellExecuteW");
    if (call == nullptr) return reinterpret_cast<HINSTANCE>(static_cast<intptr_t>(SE_ERR_DLLNOTFOUND));
    return call(window, verb, file, parameters, folder, showCommand);
}

BOOL CallShellExecuteEx(SHELLEXECUTEINFOW* info) {
    static const auto call = FromShell<decltype(&ShellExecuteExW)>("ShellExecuteExW");
    return call != nullptr && call(info);
}

HRESULT CallCoInitialize() {
    static const auto call = FromCom<decltype(&CoInitialize)>("CoInitialize");
    return call == nullptr ? E_NOTIMPL : call(nullptr);
}

HRESULT CallCoCreateInstance(REFCLSID type, IUnknown* outer, DWORD context, REFIID interfaceId, void** object) {
    static const auto call = FromCom<decltype(&CoCreateInstance)>("CoCreateInstance");
    return call == nullptr ? E_NOTIMPL : call(type, outer, context, interfaceId, object);
}

HWND CallFindWindow(const wchar_t* className, const wchar_t* title) {
    static const auto call = FromUser<decltype(&FindWindowW)>("FindWindowW");
    return call == nullptr ? nullptr : call(className, title);
}

BOOL CallShowWindow(HWND window, int command) {
    static const auto call = FromUser<decltype(&ShowWindow)>("ShowWindow");
    return call != nullptr && call(window, command);
}

int CallMessageBox(HWND window, const wchar_t* text, const wchar_t* caption, UINT type) {
    static const auto call = FromUser<decltype(&MessageBoxW)>("MessageBoxW");
    return call == nullptr ? 0 : call(window, text, caption, type);
}

#include "common/system_library.h"

namespace {

// Not declared by every SDK this builds with for Windows 7.
constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

}  // namespace

void LoadLibrariesFromSystemFolderOnly() {
    using SetDirectories = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto set = kernel == nullptr ? nullptr
                                       : reinterpret_cast<SetDirectories>(reinterpret_cast<void (*)()>(
                                             GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (set != nullptr) set(kSearchSystem32);
}

HMODULE LoadFromSystemFolder(const wchar_t* library, const std::wstring& systemFolder, const LibraryLoader& load) {
    DWORD error = ERROR_SUCCESS;
    const HMODULE module = load(library, kSearchSystem32, &error);
    if (module != nullptr || error != ERROR_INVALID_PARAMETER || systemFolder.empty()) return module;
    return load(systemFolder + L"\\" + library, LOAD_WITH_ALTERED_SEARCH_PATH, &error);
}

FARPROC SystemProcedure(const wchar_t* library, const char* name) {
    wchar_t system[MAX_PATH + 1] = {};
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring systemFolder = length == 0 || length >= MAX_PATH ? std::wstring() : std::wstring(system);
    // Loaded once and kept for the rest of the process.
    const HMODULE module =
        LoadFromSystemFolder(library, systemFolder, [](const std::wstring& path, DWORD flags, DWORD* error) {
            const HMODULE loaded = LoadLibraryExW(path.c_str(), nullptr, flags);
            *error = loaded == nullptr ? GetLastError() : ERROR_SUCCESS;
            return loaded;
        });
    return module == nullptr ? nullptr : GetProcAddress(module, name);
}

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

FARPROC SystemProcedure(const wchar_t* library, const char* name) {
    // Loaded once and kept for the rest of the process.
    const HMODULE module = LoadLibraryExW(library, nullptr, kSearchSystem32);
    return module == nullptr ? nullptr : GetProcAddress(module, name);
}

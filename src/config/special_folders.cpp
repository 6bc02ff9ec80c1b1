#include "config/special_folders.h"

#include "common/windows_headers.h"
#include "config/name_text.h"

#include <shlobj.h>

namespace {

constexpr size_t kFolderBufferSize = 530;

using GetSpecialFolderPathFunction = BOOL(WINAPI*)(HWND, LPWSTR, int, BOOL);

// Looked up at run time: very old shells lack the function.
GetSpecialFolderPathFunction LookUpGetSpecialFolderPath() {
    HMODULE shell = LoadLibraryW(L"Shell32.dll");  // kept loaded for the process
    if (shell == nullptr) return nullptr;
    return reinterpret_cast<GetSpecialFolderPathFunction>(
        reinterpret_cast<void*>(GetProcAddress(shell, "SHGetSpecialFolderPathW")));
}

void PathFromItemList(int csidl, wchar_t* buffer) {
    IMalloc* allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator)) || allocator == nullptr) return;
    LPITEMIDLIST items = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, csidl, &items)) && items != nullptr) {
        SHGetPathFromIDListW(items, buffer);
        allocator->Free(items);
    }
    allocator->Release();
}

}  // namespace

WideString SpecialFolderPath(int csidl) {
    wchar_t buffer[kFolderBufferSize] = {};
    static const GetSpecialFolderPathFunction getPath = LookUpGetSpecialFolderPath();
    if (getPath != nullptr) {
        getPath(nullptr, buffer, csidl, (csidl & CSIDL_FLAG_CREATE) != 0);
    } else {
        PathFromItemList(csidl, buffer);
    }
    buffer[kFolderBufferSize - 1] = L'\0';
    return WideString(buffer);
}

StringList UserAndPublicFolders() {
    const int folders[] = {kCommonDocuments, kCommonPictures, kCommonMusic,  kCommonVideo,
                           kCommonDesktopDirectory, kPersonal, kMyPictures, kMyMusic,
                           kMyVideo,         kDesktopDirectory, kDesktop};
    StringList paths;
    for (const int csidl : folders) paths.push_back(SpecialFolderPath(csidl));
    return RemoveDuplicateTexts(paths);
}

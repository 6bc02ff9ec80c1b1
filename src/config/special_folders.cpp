#include "config/special_folders.h"

#include "common/system_calls.h"
#include "common/system_library.h"

#include "common/windows_headers.h"
#include "config/name_text.h"

#include <shlobj.h>

namespace {

constexpr size_t kFolderBufferSize = 530;

using GetSpecialFolderPathFunction = BOOL(WINAPI*)(HWND, LPWSTR, int, BOOL);

// Looked up at run time: very old shells lack the function.
GetSpecialFolderPathFunction LookUpGetSpecialFolderPath() {
    return SystemFunction<GetSpecialFolderPathFunction>(L"shell32.dll", "SHGetSpecialFolderPathW");
}

void PathFromItemList(int csidl, wchar_t* buffer) {
    IMalloc* allocator = nullptr;
    if (FAILED(CallSHGetMalloc(&allocator)) || allocator == nullptr) return;
    LPITEMIDLIST items = nullptr;
    if (SUCCEEDED(CallSHGetSpecialFolderLocation(nullptr, csidl, &items)) && items != nullptr) {
        CallSHGetPathFromIDList(items, buffer);
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

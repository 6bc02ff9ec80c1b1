#include "config/drive_types.h"

#include <array>

#include "common/windows_headers.h"

namespace {

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

}  // namespace

unsigned DriveTypeOfLetter(wchar_t letter) {
    static std::array<unsigned, 26> types = {};
    if (!IsDriveLetter(letter)) return DRIVE_NO_ROOT_DIR;
    unsigned& type = types[static_cast<size_t>((letter | 0x20) - L'a')];
    if (type == 0) {
        const WideString root = WideString(1, letter) + L":/";
        type = GetDriveTypeW(root.c_str());
        if (type == DRIVE_UNKNOWN) type = DRIVE_NO_ROOT_DIR;  // 0 means "not asked yet"
    }
    return type;
}

unsigned DriveTypeOfPath(const WideString& path) {
    if (path.size() < 2 || path[1] != L':') return DRIVE_NO_ROOT_DIR;
    return DriveTypeOfLetter(path[0]);
}

bool DriveHasMedium(const WideString& drive) {
    const WideString root = drive.substr(0, 2) + L"\\";
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    ULARGE_INTEGER freeBytes = {};
    const BOOL ready = GetDiskFreeSpaceExW(root.c_str(), &freeBytes, nullptr, nullptr);
    SetErrorMode(oldMode);
    return ready != 0;
}

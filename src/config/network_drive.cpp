#include "config/network_drive.h"

#include "common/system_library.h"
#include "common/windows_headers.h"
#include "config/drive_types.h"

#include <winnetwk.h>

namespace {

constexpr DWORD kConnectionBufferSize = 261;

WideString ConnectionNameOf(const WideString& drive) {
    wchar_t buffer[kConnectionBufferSize] = {};
    DWORD size = kConnectionBufferSize - 1;
    // mpr.dll is loaded from the system folder only, never from beside the program.
    static const auto getConnection =
        SystemFunction<decltype(&WNetGetConnectionW)>(L"mpr.dll", "WNetGetConnectionW");
    if (getConnection == nullptr || getConnection(drive.c_str(), buffer, &size) != NO_ERROR) return WideString();
    buffer[kConnectionBufferSize - 1] = L'\0';
    return WideString(buffer);
}

}  // namespace

WideString ReplaceDriveWithConnection(const WideString& path, const WideString& connection) {
    if (connection.empty() || path.size() < 2) return path;
    return connection + path.substr(2);
}

WideString NetworkDriveToUnc(const WideString& path) {
    if (path.size() < 2 || path[1] != L':') return path;
    const WideString drive = path.substr(0, 2);
    if (DriveTypeOfLetter(path[0]) != DRIVE_REMOTE) return path;
    return ReplaceDriveWithConnection(path, ConnectionNameOf(drive));
}

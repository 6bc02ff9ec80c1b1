#include "config/folder_reasons.h"

#include "common/windows_headers.h"
#include "config/directory_ops.h"
#include "config/drive_types.h"
#include "text/path_text.h"

namespace {

bool IsNetworkPath(const WideString& path) {
    return path.size() > 2 && path[0] == L'\\' && path[1] == L'\\';
}

// "\\srv\share" of a network path.
WideString ShareRoot(const WideString& path) {
    const size_t server = path.find(L'\\', 2);
    if (server == kNoPosition) return path;
    return path.substr(0, path.find(L'\\', server + 1));
}

}  // namespace

WideString MissingFolderReason(const WideString& folder, const FolderProbe& probe) {
    if (probe.isDirectory(folder)) return WideString();
    if (IsNetworkPath(folder)) {
        if (!probe.exists(ShareRoot(folder))) return L"network path not reachable";
    } else if (folder.size() >= 2 && folder[1] == L':') {
        const WideString drive = folder.substr(0, 2);
        const unsigned type = probe.driveType(drive);
        if (type == DRIVE_REMOTE && !probe.driveReady(drive)) return L"network path not reachable";
        if (type == DRIVE_NO_ROOT_DIR || type == DRIVE_UNKNOWN || !probe.driveReady(drive)) {
            return L"drive not ready";
        }
    }
    if (probe.exists(folder)) return L"not a folder";
    return L"not found";
}

FolderProbe SystemFolderProbe() {
    FolderProbe probe;
    probe.isDirectory = DirectoryExists;
    probe.exists = EntryExists;
    probe.driveType = DriveTypeOfPath;
    probe.driveReady = [](const WideString& drive) {
        const WideString root = drive + L"\\";
        const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
        ULARGE_INTEGER freeBytes = {};
        const BOOL ready = GetDiskFreeSpaceExW(root.c_str(), &freeBytes, nullptr, nullptr);
        SetErrorMode(oldMode);
        return ready != 0;
    };
    return probe;
}

WideString NotBackedUpLine(const WideString& folder, const WideString& reason) {
    return L"Not backed up: " + folder + L" (" + reason + L")";
}

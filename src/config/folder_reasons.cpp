#include "config/folder_reasons.h"

#include "common/windows_headers.h"
#include "config/directory_ops.h"
#include "config/drive_types.h"
#include "text/file_status.h"
#include "text/path_text.h"

namespace {

}  // namespace

WideString MissingFolderReason(const WideString& folder, const FolderProbe& probe) {
    if (probe.isDirectory(folder)) return WideString();
    if (IsNetworkPath(folder)) {
        if (!probe.exists(ShareRootOf(folder))) return L"network path not reachable";
    } else if (folder.size() >= 2 && folder[1] == L':') {
        const WideString drive = folder.substr(0, 2);
        const unsigned type = probe.driveType(drive);
        if (type == DRIVE_REMOTE && !probe.driveReady(drive)) return L"network path not reachable";
        if (type == DRIVE_NO_ROOT_DIR || type == DRIVE_UNKNOWN || !probe.driveReady(drive)) {
            return L"drive not ready";
        }
    }
    if (folder.size() == 3 && folder[1] == L':') return L"a whole drive is not backed up";
    if (probe.exists(folder)) return L"not a folder";
    return L"not found";
}

FolderProbe SystemFolderProbe() {
    FolderProbe probe;
    probe.isDirectory = DirectoryExists;
    probe.exists = EntryExists;
    probe.driveType = DriveTypeOfPath;
    probe.driveReady = DriveHasMedium;
    return probe;
}

WideString NotBackedUpLine(const WideString& folder, const WideString& reason) {
    return L"Not backed up: " + folder + L" (" + reason + L")";
}

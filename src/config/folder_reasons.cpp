#include "config/folder_reasons.h"

#include "common/windows_headers.h"
#include "config/directory_ops.h"
#include "config/drive_types.h"
#include "text/file_status.h"
#include "text/path_text.h"
#include "text/messages.h"

namespace {

}  // namespace

WideString MissingFolderReason(const WideString& folder, const FolderProbe& probe) {
    if (probe.isDirectory(folder)) return WideString();
    if (IsNetworkPath(folder)) {
        if (!probe.exists(ShareRootOf(folder))) return Say(Message::NetworkUnreachable);
    } else if (folder.size() >= 2 && folder[1] == L':') {
        const WideString drive = folder.substr(0, 2);
        const unsigned type = probe.driveType(drive);
        if (type == DRIVE_REMOTE && !probe.driveReady(drive)) return Say(Message::NetworkUnreachable);
        if (type == DRIVE_NO_ROOT_DIR || type == DRIVE_UNKNOWN || !probe.driveReady(drive)) {
            return Say(Message::DriveNotReady);
        }
    }
    if (folder.size() == 3 && folder[1] == L':') return Say(Message::WholeDrive);
    if (probe.exists(folder)) return Say(Message::NotAFolder);
    return Say(Message::NotFound);
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
    return Say(Message::NotBackedUp, {folder, reason});
}

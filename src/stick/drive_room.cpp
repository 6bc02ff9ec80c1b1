#include "stick/drive_room.h"

#include "common/windows_headers.h"
#include "text/path_text.h"
#include "text/system_error.h"

bool ReadRoom(const WideString& folder, BackupPlan* plan, WideString* problem) {
    ULARGE_INTEGER available = {};
    const WideString root = AppendSeparator(ShareRootOf(folder), L'\\');
    DWORD sectorsPerCluster = 0;
    DWORD bytesPerSector = 0;
    DWORD freeClusters = 0;
    DWORD clusters = 0;
    if (!GetDiskFreeSpaceExW(AppendSeparator(folder, L'\\').c_str(), &available, nullptr, nullptr) ||
        !GetDiskFreeSpaceW(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters)) {
        *problem = SystemReason(GetLastError());
        return false;
    }
    plan->freeBytes = available.QuadPart;
    plan->clusterBytes = uint64_t{sectorsPerCluster} * bytesPerSector;
    return true;
}

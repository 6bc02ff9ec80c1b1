#include "check/check_actions.h"

#include "common/windows_headers.h"
#include "plan/tree_compare.h"
#include "text/canonical_path.h"
#include "text/path_text.h"
#include "text/system_error.h"

WideString RemoveBackupFile(const WideString& path) {
    const WideString longPath = LongPathForm(path);
    SetFileAttributesW(longPath.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileW(longPath.c_str()) ? WideString() : SystemReason(GetLastError());
}

void RemoveEmptyFoldersUpTo(WideString folder, const WideString& stop) {
    while (folder.size() > stop.size() && RemoveDirectoryW(LongPathForm(folder).c_str())) {
        folder = ParentPath(folder);
    }
}

void CountAsToCopy(PlannedFolder* folder, const WideString& relative, const FileFacts& backup, uint64_t clusterBytes) {
    TreeComparison& before = folder->before;
    if (before.upToDate != 0) --before.upToDate;
    before.bytesToCopy += backup.size;
    before.need += RoundUpToCluster(backup.size, clusterBytes);
    if (before.firstMissing.empty()) before.firstMissing = relative;
    before.overwritten.push_back({relative, backup.size, backup.lastWrite});
}

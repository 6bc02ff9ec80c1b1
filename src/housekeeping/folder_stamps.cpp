#include "housekeeping/folder_stamps.h"

#include <ctime>

#include "common/scoped_handle.h"
#include "text/canonical_path.h"
#include "text/console_output.h"
#include "text/number_text.h"
#include "text/messages.h"

namespace {

constexpr int64_t kSecondsFrom1601To1970 = 11644473600LL;

FILETIME ToFileTime(int64_t seconds) {
    const uint64_t ticks = static_cast<uint64_t>(seconds + kSecondsFrom1601To1970) * 10000000ULL;
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFu);
    time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return time;
}

}  // namespace

bool SetFileTimes(const WideString& path, int64_t accessTime, int64_t writeTime) {
    const ScopedFileHandle file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                      nullptr));
    if (!file.Valid()) {
        PrintErrorLine(Say(Message::SetTimesError, {SignedToText(GetLastError(), 10)}));
        return false;
    }
    FILETIME creation;
    FILETIME access;
    FILETIME write;
    if (GetFileTime(file.Get(), &creation, &access, &write)) {
        const FILETIME newAccess = ToFileTime(accessTime);
        const FILETIME newWrite = ToFileTime(writeTime);
        SetFileTime(file.Get(), nullptr, &newAccess, &newWrite);
    }
    return true;
}

bool PauseSeconds(int seconds) {
    // Waited here, not by a command the interpreter would look for in the
    // current folder (the stick's root after a double-click).
    PrintLine(Say(Message::WaitingSeconds, {SignedToText(seconds, 10)}));
    Sleep(static_cast<DWORD>(seconds) * 1000);
    return true;
}

bool StampBackupFolders(const BackupPlan& plan) {
    for (const PlannedFolder& folder : plan.folders) {
        if (folder.fate == FolderFate::Mirror && folder.verified) PrintLine(folder.destination);
    }
    PrintLine(WideString());
    const int64_t now = static_cast<int64_t>(std::time(nullptr));
    for (const WideString& path : FoldersToStamp(plan)) {
        PrintLine(path);
        SetFileTimes(LongPathForm(path), now, now);
    }
    return true;
}

#include "housekeeping/folder_stamps.h"

#include <ctime>
#include <iostream>

#include "app/console_output.h"
#include "common/scoped_handle.h"
#include "config/directory_ops.h"
#include "config/name_text.h"
#include "housekeeping/file_lists.h"
#include "script/command_line.h"
#include "text/number_text.h"
#include "text/path_text.h"

namespace {

const wchar_t kBackupFolderName[] = L"_Backup_";
constexpr int kMaxWalk = 20;
constexpr size_t kShortestStamped = 5;
constexpr int64_t kSecondsFrom1601To1970 = 11644473600LL;
constexpr int kClosingPauseSeconds = 5;

FILETIME ToFileTime(int64_t seconds) {
    const uint64_t ticks = static_cast<uint64_t>(seconds + kSecondsFrom1601To1970) * 10000000ULL;
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFu);
    time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return time;
}

}  // namespace

WideString BackupFolderPath(const WideString& baseFolder) {
    const WideString base = StripTrailingSeparator(baseFolder);
    const size_t length = wcslen(kBackupFolderName);
    if (base.size() >= length && EqualNoCase(base.substr(base.size() - length), kBackupFolderName)) {
        return base;
    }
    return AppendSeparator(base, L'\\') + kBackupFolderName;
}

StringList FoldersToStamp(const StringList& destinations, const WideString& backupFolder,
                          const std::function<bool(const WideString&)>& directoryExists) {
    StringList folders;
    for (const WideString& destination : destinations) {
        WideString path = destination;
        for (int i = 0; i < kMaxWalk; ++i) {
            folders.push_back(path);
            path = ParentPath(path);
            if (path.size() < backupFolder.size() && directoryExists(path)) break;
        }
    }
    StringList stamped;
    for (const WideString& folder : SortedUniqueList(SortedList(folders))) {
        if (folder.size() >= kShortestStamped) stamped.push_back(folder);
    }
    return stamped;
}

bool SetFileTimes(const WideString& path, int64_t accessTime, int64_t writeTime) {
    const ScopedFileHandle file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                      nullptr));
    if (!file.Valid()) {
        std::wcerr << L"error ... " << GetLastError() << std::endl;
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
    const WideString command = L"timeout " + SignedToText(seconds, 10);
    _wsystem(command.c_str());
    return true;
}

bool StampBackupFolders(const StringList& sources, const WideString& backupFolder) {
    const WideString folder = StripTrailingSeparator(backupFolder);
    StringList destinations;
    for (const WideString& source : sources) {
        if (source.empty() || !DirectoryExists(source)) continue;
        destinations.push_back(MirrorDestination(source, folder));
        PrintLine(destinations.back());
    }
    const StringList stamped = FoldersToStamp(destinations, folder, DirectoryExists);
    PrintLine(WideString());
    const int64_t now = static_cast<int64_t>(std::time(nullptr));
    for (const WideString& path : stamped) {
        PrintLine(path);
        SetFileTimes(path, now, now);
    }
    PauseSeconds(kClosingPauseSeconds);
    return true;
}

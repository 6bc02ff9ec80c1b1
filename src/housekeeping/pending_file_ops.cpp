#include "housekeeping/pending_file_ops.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <vector>
#include <ctime>

#include "common/windows_headers.h"
#include "config/directory_ops.h"
#include "config/name_text.h"
#include "housekeeping/file_attributes.h"
#include "housekeeping/file_lists.h"
#include "text/file_status.h"
#include "text/path_text.h"

namespace {

constexpr int64_t kSecondsPerDay = 86400;

struct ExpiringFile {
    WideString path;
    uint32_t days;
};

bool StillExpired(const ExpiringFile& file, int64_t now);

// The files scheduled by ExpireOldFiles. At program exit each is looked at
// again and deleted only when it is still old enough: the program may have
// written to it since (the trace log's hour file names carry no year).
std::vector<ExpiringFile>& ExpiringFiles() {
    static std::vector<ExpiringFile>* files = nullptr;
    if (files == nullptr) {
        files = new std::vector<ExpiringFile>;
        std::atexit([] {
            const int64_t now = static_cast<int64_t>(std::time(nullptr));
            PendingFileOps deletions;
            for (const ExpiringFile& file : *files) {
                if (StillExpired(file, now)) deletions.Add(file.path);
            }
        });
    }
    return *files;
}

bool InPlainFolder(const WideString& path) {
    const WideString folder = ParentPath(path);
    return ExpiresInFolder(GetFileAttributesW(folder.c_str()), GetFileAttributesW(ParentPath(folder).c_str()));
}

bool StillExpired(const ExpiringFile& file, int64_t now) {
    if (!InPlainFolder(file.path)) return false;
    const FileStatus status(file.path);
    if (status.Failed()) return false;
    return IsExpired(now, status.ModifyTime(), FileAttributes(file.path).Attributes(), file.days);
}

}  // namespace

PendingFileOps::~PendingFileOps() {
    CopyNow();
    DeleteNow();
}

bool PendingFileOps::Add(const WideString& path) {
    sources_.push_back(path);
    return true;
}

bool PendingFileOps::AddAll(StringList paths) {
    sources_.insert(sources_.end(), paths.begin(), paths.end());
    return true;
}

bool PendingFileOps::AddMove(const WideString& source, const WideString& destination) {
    sources_.push_back(source);
    destinations_.resize(sources_.size());
    destinations_.back() = destination;
    return true;
}

bool PendingFileOps::CopyNow() {
    const size_t count = std::min(sources_.size(), destinations_.size());
    for (size_t i = 0; i < count; ++i) {
        WideString& source = sources_[i];
        const WideString& destination = destinations_[i];
        if (source.empty() || destination.empty() || !PathExists(source, false)) continue;
        if (!CopyFileGuarded(source, destination, false)) source.clear();
    }
    destinations_.clear();
    return true;
}

bool PendingFileOps::DeleteNow() {
    // Descending order, each path once, puts every path before its parent
    // folder; one sort does it.
    std::sort(sources_.begin(), sources_.end(), std::greater<WideString>());
    sources_.erase(std::unique(sources_.begin(), sources_.end()), sources_.end());
    for (WideString& entry : sources_) {
        if (entry.empty()) continue;
        const WideString path = StripTrailingSeparator(entry);
        entry.clear();
        if (!PathExists(path, false)) continue;
        if (FileStatus(path).IsDirectory()) {
            if (IsFolderEmpty(path)) RemoveDirectoryW(path.c_str());
        } else {
            DeleteFileW(path.c_str());
        }
    }
    sources_.clear();
    return true;
}

bool IsExpired(int64_t now, int64_t lastWrite, uint32_t attributes, uint32_t days) {
    const bool readOnly = attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY);
    return !readOnly && now - lastWrite >= static_cast<int64_t>(days) * kSecondsPerDay;
}

bool ExpiresInFolder(uint32_t folderAttributes, uint32_t parentAttributes) {
    for (const uint32_t attributes : {folderAttributes, parentAttributes}) {
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
            (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            return false;
        }
    }
    return true;
}

bool ExpireOldFiles(const WideString& path, uint32_t days) {
    const int64_t now = static_cast<int64_t>(std::time(nullptr));
    if (!InPlainFolder(path)) return true;
    const WideString pattern = FileNameStem(path) + L"*." + FileNameExtension(path);
    const StringList files = ListMatchingFiles(ParentPath(path), pattern);
    bool scheduled = false;
    for (const WideString& file : files) {
        const ExpiringFile candidate = {file, days};
        if (!StillExpired(candidate, now)) continue;
        ExpiringFiles().push_back(candidate);
        scheduled = true;
    }
    return !scheduled;
}

#include "text/file_status.h"

#include <errno.h>
#include <io.h>
#include <sys/stat.h>
#include <sys/types.h>

#include "text/path_text.h"

namespace {

WideString WithBackslashes(const WideString& path) {
    if (path.find(L'/') == kNoPosition) return path;
    return NormalizeSeparators(path, L'\\');
}

}  // namespace

FileStatus::FileStatus(const WideString& path) {
    const WideString queried = WithBackslashes(path);
    struct _stat64 record = {};
    if (_wstat64(queried.c_str(), &record) != 0) {
        error_ = errno != 0 ? errno : ENOENT;
        return;
    }
    mode_ = static_cast<uint16_t>(record.st_mode);
    size_ = record.st_size;
    accessTime_ = record.st_atime;
    modifyTime_ = record.st_mtime;
    changeTime_ = record.st_ctime;
}

bool IsNetworkPath(const WideString& path) {
    return path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\';
}

bool AccessExists(const WideString& path) { return _waccess(path.c_str(), 0) == 0; }

bool PathExists(const WideString& path, bool nonEmptyFile) {
    if (path.empty()) return false;
    const WideString tested = WithBackslashes(StripTrailingSeparator(path));
    if (IsNetworkPath(tested)) return AccessExists(tested);
    const FileStatus status(tested);
    if (status.Failed()) return false;
    return status.IsDirectory() || status.Size() != 0 || !nonEmptyFile;
}

#include "restore/restore_files.h"

#include "common/scoped_handle.h"
#include "common/windows_headers.h"
#include "config/directory_ops.h"
#include "restore/restore_rules.h"
#include "text/canonical_path.h"
#include "text/path_text.h"
#include "text/system_error.h"
#include "verify/file_digest.h"

namespace {

const DWORD kKeptAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
// Temporary names tried before giving up: each taken one is left as it is.
const int kTemporaryNames = 20;

RestoreResult Result(RestoreOutcome outcome, const WideString& problem = WideString()) {
    RestoreResult result;
    result.outcome = outcome;
    result.problem = problem;
    return result;
}

// Tries the call again while another program holds the file for a moment;
// on failure the last error is the call's.
template <typename Call>
bool WhileBusy(const Call& call) {
    for (int attempt = 1;; ++attempt) {
        if (call()) return true;
        const DWORD error = GetLastError();
        if (!TriesAgain(error, attempt)) {
            SetLastError(error);
            return false;
        }
        Sleep(kBusyPauseMilliseconds);
    }
}

bool Move(const WideString& from, const WideString& to, DWORD flags) {
    return WhileBusy([&] { return MoveFileExW(LongPathForm(from).c_str(), LongPathForm(to).c_str(), flags) != 0; });
}

// A new file beside the target, under the first temporary name no file has;
// removed when it goes away unless it was renamed into place.
class TemporaryFile {
public:
    ~TemporaryFile() {
        Close();
        if (!path_.empty() && !placed_) WhileBusy([&] { return DeleteFileW(LongPathForm(path_).c_str()) != 0; });
    }
    // The system's reason when no such file could be made, else empty.
    WideString Create(const WideString& target) {
        const WideString folder = ParentPath(target);
        const WideString name = FileNamePart(target);
        for (int attempt = 1; attempt <= kTemporaryNames; ++attempt) {
            const WideString path = JoinPath(folder, TemporaryNameOf(name, attempt));
            const HANDLE handle = CreateFileW(LongPathForm(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                              FILE_ATTRIBUTE_NORMAL, nullptr);
            if (handle != INVALID_HANDLE_VALUE) {
                handle_ = handle;
                path_ = path;
                return WideString();
            }
            const DWORD error = GetLastError();
            if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return SystemReason(error);
        }
        return SystemReason(ERROR_FILE_EXISTS);
    }
    HANDLE Handle() const { return handle_; }
    const WideString& Path() const { return path_; }
    // The system's reason when the file could not be closed, else empty.
    WideString Close() {
        if (handle_ == INVALID_HANDLE_VALUE) return WideString();
        const bool closed = CloseHandle(handle_) != 0;
        handle_ = INVALID_HANDLE_VALUE;
        return closed ? WideString() : SystemReason(GetLastError());
    }
    void Placed() { placed_ = true; }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    WideString path_;
    bool placed_ = false;
};

// Writes the stick's file into the temporary one, checked against the line,
// with the stick's times, flushed and closed: Restored, Damaged or Failed.
RestoreResult WriteChecked(TemporaryFile& temporary, const RestoreItem& item, const WideString& stickPath,
                           const WIN32_FILE_ATTRIBUTE_DATA& stored) {
    const FileDigest read = DigestOfFileWhile(stickPath, ReadFrom::Device, [&](const void* bytes, unsigned long size) {
        DWORD done = 0;
        if (!WriteFile(temporary.Handle(), bytes, size, &done, nullptr) || done != size) {
            return SystemReason(GetLastError());
        }
        return WideString();
    });
    if (!read.read) return Result(RestoreOutcome::Failed, read.problem);
    if (read.digest != item.file->digest) return Result(RestoreOutcome::Damaged);
    if (!SetFileTime(temporary.Handle(), &stored.ftCreationTime, nullptr, &stored.ftLastWriteTime) ||
        !FlushFileBuffers(temporary.Handle())) {
        return Result(RestoreOutcome::Failed, SystemReason(GetLastError()));
    }
    const WideString problem = temporary.Close();
    return problem.empty() ? Result(RestoreOutcome::Restored) : Result(RestoreOutcome::Failed, problem);
}

}  // namespace

RestoreOutcome ExistingTarget(const RestoreItem& item) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(LongPathForm(item.target).c_str(), GetFileExInfoStandard, &data)) {
        return RestoreOutcome::Restored;
    }
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return RestoreOutcome::KeptExisting;
    const FileDigest there = DigestOfFile(item.target, ReadFrom::Cache);
    const bool same = there.read && item.file->listed && there.digest == item.file->digest;
    return same ? RestoreOutcome::AlreadyThere : RestoreOutcome::KeptExisting;
}

WideString MakeRestoredFolder(const WideString& folder) {
    if (!MakeFolderTree(folder)) return SystemReason(GetLastError());
    // A file of the folder's name is no folder made.
    return DirectoryExists(folder) ? WideString() : SystemReason(ERROR_ALREADY_EXISTS);
}

RestoreOutcome CheckStoredFile(const StoredFile& file, const WideString& stickPath, WideString* problem) {
    if (!file.onStick) return RestoreOutcome::Missing;
    if (!file.listed) return RestoreOutcome::NoLine;
    const FileDigest read = DigestOfFile(stickPath, ReadFrom::Device);
    if (!read.read) {
        *problem = read.problem;
        return RestoreOutcome::Failed;
    }
    return read.digest == file.digest ? RestoreOutcome::Restored : RestoreOutcome::Damaged;
}

RestoreResult RestoreFile(const RestoreItem& item, const WideString& stickPath, bool replace,
                          const WideString& stamp, const RestoreSeam& seam) {
    if (item.target.empty()) return Result(RestoreOutcome::NoPlace);
    if (!item.file->onStick) return Result(RestoreOutcome::Missing);
    if (!item.file->listed) return Result(RestoreOutcome::NoLine);
    const RestoreOutcome existing = ExistingTarget(item);
    if (existing == RestoreOutcome::AlreadyThere) return Result(existing);
    // Nothing there is ever lost: without /replace it stays as it is.
    if (existing == RestoreOutcome::KeptExisting && !replace) return Result(existing);
    WIN32_FILE_ATTRIBUTE_DATA stored = {};
    if (!GetFileAttributesExW(LongPathForm(stickPath).c_str(), GetFileExInfoStandard, &stored)) {
        return Result(RestoreOutcome::Missing);
    }
    if (!MakeFolderTree(ParentPath(item.target))) return Result(RestoreOutcome::Failed, SystemReason(GetLastError()));
    TemporaryFile temporary;
    const WideString problem = temporary.Create(item.target);
    if (!problem.empty()) return Result(RestoreOutcome::Failed, problem);
    RestoreResult result = WriteChecked(temporary, item, stickPath, stored);
    if (result.outcome != RestoreOutcome::Restored) return result;
    if (existing == RestoreOutcome::KeptExisting) {
        // With /replace the existing file moves aside, never away.
        result.keptAs = BeforeRestoreName(item.target, stamp);
        if (!Move(item.target, result.keptAs, 0)) return Result(RestoreOutcome::Failed, SystemReason(GetLastError()));
    }
    if (seam.beforeRename) seam.beforeRename(temporary.Path());
    // No replacing: a file that appeared meanwhile stays as it is.
    if (!Move(temporary.Path(), item.target, MOVEFILE_WRITE_THROUGH)) {
        RestoreResult failed = Result(RestoreOutcome::Failed, SystemReason(GetLastError()));
        // The existing file goes back to its name, or the line says where it is.
        if (!result.keptAs.empty() && !Move(result.keptAs, item.target, 0)) failed.keptAs = result.keptAs;
        return failed;
    }
    temporary.Placed();
    if ((stored.dwFileAttributes & kKeptAttributes) != 0) {
        const DWORD attributes = stored.dwFileAttributes & (kKeptAttributes | FILE_ATTRIBUTE_ARCHIVE);
        WhileBusy([&] { return SetFileAttributesW(LongPathForm(item.target).c_str(), attributes) != 0; });
    }
    return result;
}

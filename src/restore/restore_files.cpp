#include "restore/restore_files.h"

#include "common/scoped_handle.h"
#include "common/windows_headers.h"
#include "config/directory_ops.h"
#include "text/canonical_path.h"
#include "text/path_text.h"
#include "text/system_error.h"
#include "verify/file_digest.h"

namespace {

const DWORD kKeptAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;

RestoreResult Result(RestoreOutcome outcome, const WideString& problem = WideString()) {
    RestoreResult result;
    result.outcome = outcome;
    result.problem = problem;
    return result;
}

void RemoveTemporary(const WideString& temporary) { DeleteFileW(LongPathForm(temporary).c_str()); }

}  // namespace

RestoreOutcome ExistingTarget(const RestoreItem& item) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(LongPathForm(item.target).c_str(), GetFileExInfoStandard, &data)) {
        return RestoreOutcome::Restored;
    }
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return RestoreOutcome::KeptExisting;
    const FileDigest there = DigestOfFile(item.target, ReadFrom::Cache);
    const bool same = there.read && item.file.listed && there.digest == item.file.digest;
    return same ? RestoreOutcome::AlreadyThere : RestoreOutcome::KeptExisting;
}

WideString MakeRestoredFolder(const WideString& folder) {
    return MakeFolderTree(folder) ? WideString() : SystemReason(GetLastError());
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
                          const WideString& stamp) {
    if (item.target.empty()) return Result(RestoreOutcome::NoPlace);
    if (!item.file.onStick) return Result(RestoreOutcome::Missing);
    if (!item.file.listed) return Result(RestoreOutcome::NoLine);
    const RestoreOutcome existing = ExistingTarget(item);
    if (existing == RestoreOutcome::AlreadyThere) return Result(existing);
    // Nothing there is ever lost: without /replace it stays as it is.
    if (existing == RestoreOutcome::KeptExisting && !replace) return Result(existing);
    WIN32_FILE_ATTRIBUTE_DATA stored = {};
    if (!GetFileAttributesExW(LongPathForm(stickPath).c_str(), GetFileExInfoStandard, &stored)) {
        return Result(RestoreOutcome::Missing);
    }
    const WideString folder = ParentPath(item.target);
    if (!MakeFolderTree(folder)) return Result(RestoreOutcome::Failed, SystemReason(GetLastError()));
    const WideString temporary = item.target + L".brisk-restoring";
    bool damaged = false;
    WideString problem;
    {
        const ScopedFileHandle out(CreateFileW(LongPathForm(temporary).c_str(), GENERIC_WRITE, 0, nullptr,
                                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!out.Valid()) return Result(RestoreOutcome::Failed, SystemReason(GetLastError()));
        const FileDigest read =
            DigestOfFileWhile(stickPath, ReadFrom::Device, [&](const void* bytes, unsigned long size) {
                DWORD done = 0;
                if (!WriteFile(out.Get(), bytes, size, &done, nullptr) || done != size) {
                    return SystemReason(GetLastError());
                }
                return WideString();
            });
        if (!read.read) {
            problem = read.problem;
        } else if (read.digest != item.file.digest) {
            damaged = true;
        } else if (!SetFileTime(out.Get(), &stored.ftCreationTime, nullptr, &stored.ftLastWriteTime)) {
            problem = SystemReason(GetLastError());
        }
    }
    if (damaged || !problem.empty()) {
        RemoveTemporary(temporary);
        return Result(damaged ? RestoreOutcome::Damaged : RestoreOutcome::Failed, problem);
    }
    RestoreResult result = Result(RestoreOutcome::Restored);
    if (existing == RestoreOutcome::KeptExisting) {
        // With /replace the existing file moves aside, never away.
        result.keptAs = BeforeRestoreName(item.target, stamp);
        if (!MoveFileExW(LongPathForm(item.target).c_str(), LongPathForm(result.keptAs).c_str(), 0)) {
            const DWORD error = GetLastError();
            RemoveTemporary(temporary);
            return Result(RestoreOutcome::Failed, SystemReason(error));
        }
    }
    // No replacing: a file that appeared meanwhile stays as it is.
    if (!MoveFileExW(LongPathForm(temporary).c_str(), LongPathForm(item.target).c_str(), MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        RemoveTemporary(temporary);
        return Result(RestoreOutcome::Failed, SystemReason(error));
    }
    if ((stored.dwFileAttributes & kKeptAttributes) != 0) {
        SetFileAttributesW(LongPathForm(item.target).c_str(), stored.dwFileAttributes & (kKeptAttributes | FILE_ATTRIBUTE_ARCHIVE));
    }
    return result;
}

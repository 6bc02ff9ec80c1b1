#include "job/backup_setup.h"

#include "common/windows_headers.h"
#include "config/name_text.h"
#include "job/backup_job.h"
#include "text/case_text.h"
#include "text/path_text.h"
#include "text/split_join.h"

namespace {

const wchar_t kBackupFolderName[] = L"_Backup_";
// The largest file FAT32 holds (4 GiB less a byte); a larger one is named
// as not copied rather than failing on such a stick.
constexpr uint64_t kMaxFileSize = (uint64_t{1} << 32) - 1;
constexpr int64_t kFatTolerance = 2 * 10000000LL;

// The blank-separated patterns, lower-cased.
StringList Patterns(const WideString& text) {
    StringList patterns;
    for (const WideString& pattern : SplitOnChar(text, L' ')) {
        if (!pattern.empty()) patterns.push_back(ToLowerText(pattern));
    }
    return patterns;
}

}  // namespace

WideString BackupDestinationFor(const WideString& backupRoot) {
    // Only a root that is itself a "_Backup_" folder takes the sources
    // directly; MirrorDestination then gives each source its own folder.
    if (EqualNoCase(FileNamePart(backupRoot), kBackupFolderName)) return backupRoot;
    return AppendSeparator(backupRoot, L'\\') + kBackupFolderName;
}

void ApplyBackupPolicy(BackupJob& job, const WideString& destination) {
    job.SetExcludeOlder(false);
    job.SetMirror(true);
    job.SetExcludedFiles(L" *.bak  *.tmp  Thumbs.db ");
    job.SetExcludedDirs(L" bak  .vs  _Backup_  _Search_ ");
    job.SetExcludeFilesOption(true);
    job.SetExcludeDirsOption(true);
    job.SetDestination(destination);
    job.AddExcludedDir(kBackupFolderName);
    job.AddExcludedDir(L"*.tmp");
    job.SetExcludeDirsOption(true);
    job.SetMaxSize(kMaxFileSize);
    job.SetMaxSizeOption(true);
    job.SetLongFinalPause(true);
}

CopyPolicy PolicyOf(const BackupJob& job) {
    const CopyOptions& options = job.Options();
    CopyPolicy policy;
    if (options.excludeFilesOption) policy.excludedFiles = Patterns(job.ExcludedFiles());
    if (options.excludeDirsOption) policy.excludedDirs = Patterns(job.ExcludedDirs());
    policy.hasMaxSize = options.maxSizeOption;
    policy.maxSize = job.MaxSize();
    policy.skipJunctions = options.excludeJunctions;
    policy.timeTolerance = options.fatTimes ? kFatTolerance : 0;
    return policy;
}

#include "job/copy_policy.h"

#include "housekeeping/file_lists.h"
#include "job/backup_job.h"
#include "text/split_join.h"

namespace {

constexpr int64_t kFatTolerance = 2 * 10000000LL;

StringList Patterns(const WideString& text) {
    StringList patterns;
    for (const WideString& pattern : SplitOnChar(text, L' ')) {
        if (!pattern.empty()) patterns.push_back(pattern);
    }
    return patterns;
}

bool MatchesAny(const StringList& patterns, const WideString& name) {
    for (const WideString& pattern : patterns) {
        if (MatchesPattern(name, pattern)) return true;
    }
    return false;
}

}  // namespace

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

bool ExcludesFile(const CopyPolicy& policy, const WideString& name) {
    return MatchesAny(policy.excludedFiles, name);
}

bool ExcludesDir(const CopyPolicy& policy, const WideString& name) {
    return MatchesAny(policy.excludedDirs, name);
}

bool OverSizeCap(const CopyPolicy& policy, uint64_t size) {
    return policy.hasMaxSize && size > policy.maxSize;
}

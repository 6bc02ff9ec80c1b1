#include "plan/copy_policy.h"

namespace {

bool MatchesAny(const StringList& patterns, const WideString& name) {
    for (const WideString& pattern : patterns) {
        if (WildcardMatch(name, pattern)) return true;
    }
    return false;
}

}  // namespace

const wchar_t kRestoreTemporaryPattern[] = L"*.brisk-restoring";

bool WildcardMatch(const WideString& name, const WideString& pattern) {
    // Greedy with one backtrack point: the last '*' seen.
    size_t n = 0;
    size_t p = 0;
    size_t star = WideString::npos;
    size_t starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == L'?' || pattern[p] == name[n])) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == L'*') {
            star = p++;
            starName = n;
        } else if (star != WideString::npos) {
            p = star + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*') ++p;
    return p == pattern.size();
}

bool ExcludesFile(const CopyPolicy& policy, const WideString& loweredName) {
    return WildcardMatch(loweredName, kRestoreTemporaryPattern) || MatchesAny(policy.excludedFiles, loweredName);
}

bool ExcludesDir(const CopyPolicy& policy, const WideString& loweredName) {
    return MatchesAny(policy.excludedDirs, loweredName);
}

bool OverSizeCap(const CopyPolicy& policy, uint64_t size) {
    return policy.hasMaxSize && size > policy.maxSize;
}

bool SameTime(const CopyPolicy& policy, int64_t a, int64_t b) {
    const int64_t difference = a > b ? a - b : b - a;
    return difference <= policy.timeTolerance;
}

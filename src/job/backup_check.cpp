#include "job/backup_check.h"

#include <cstdio>

#include "text/number_text.h"

bool SameTime(const CopyPolicy& policy, int64_t a, int64_t b) {
    const int64_t difference = a > b ? a - b : b - a;
    return difference <= policy.timeTolerance;
}

bool UpToDate(const CopyPolicy& policy, const ListedFile& source, const ListedFile& backup) {
    return source.size == backup.size && SameTime(policy, source.lastWrite, backup.lastWrite);
}

CopyPlan PlanMirror(const CopyPolicy& policy, const TreeListing& source, const TreeListing& backup) {
    CopyPlan plan;
    for (const auto& entry : source) {
        const ListedFile& file = entry.second;
        if (OverSizeCap(policy, file.size)) continue;
        const auto old = backup.find(entry.first);
        if (old != backup.end() && UpToDate(policy, file, old->second)) continue;
        plan.bytesWritten += file.size;
        if (old != backup.end()) plan.bytesFreed += old->second.size;
    }
    for (const auto& entry : backup) {
        if (source.count(entry.first) == 0) plan.bytesFreed += entry.second.size;
    }
    return plan;
}

bool WouldEmptyBackup(const CopyPolicy& policy, const TreeListing& source, const TreeListing& backup) {
    if (backup.empty()) return false;
    for (const auto& entry : source) {
        if (!OverSizeCap(policy, entry.second.size)) return false;
    }
    return true;
}

FolderVerification VerifyMirror(const CopyPolicy& policy, const TreeListing& source,
                                const TreeListing& backup) {
    FolderVerification verification;
    for (const auto& entry : source) {
        const ListedFile& file = entry.second;
        if (OverSizeCap(policy, file.size)) {
            verification.overSizeCap.push_back(file.relative);
            continue;
        }
        ++verification.files;
        const auto copy = backup.find(entry.first);
        if (copy != backup.end() && UpToDate(policy, file, copy->second)) continue;
        if (verification.missingOrOlder++ == 0) verification.firstMissing = file.relative;
    }
    return verification;
}

WideString VerificationLine(const WideString& folder, const FolderVerification& verification) {
    const WideString files = IntegerToText(verification.files, 10) + L" files";
    if (verification.missingOrOlder == 0) return L"OK  " + folder + L"  " + files;
    return L"INCOMPLETE  " + folder + L"  " + files + L", " +
           IntegerToText(verification.missingOrOlder, 10) + L" missing or older, first: " +
           verification.firstMissing;
}

WideString SizeText(uint64_t bytes) {
    // Rounded up: a shortfall is never shown smaller than it is.
    const int shift = bytes >= (uint64_t{1} << 30) ? 30 : 20;
    const uint64_t tenths = (bytes * 10 + (uint64_t{1} << shift) - 1) >> shift;
    return IntegerToText(tenths / 10, 10) + L"." + IntegerToText(tenths % 10, 10) +
           (shift == 30 ? L" GB" : L" MB");
}

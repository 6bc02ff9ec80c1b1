#include "plan/tree_compare.h"

#include <algorithm>

#include "text/case_text.h"
#include "text/messages.h"

namespace {

class FolderComparer {
public:
    FolderComparer(const CopyPolicy& policy, uint64_t clusterBytes, const FolderPair& pair,
                   TreeComparison* comparison, const TakenFileVisitor& visit)
        : policy_(policy), clusterBytes_(clusterBytes), pair_(pair), comparison_(*comparison), visit_(visit) {}

    void Compare(const FolderEntry* source, const FolderEntry* backup) {
        const FolderEntry& either = source != nullptr ? *source : *backup;
        if (either.directory && Skipped(either)) return;
        if (pair_.purged) return Purged(*backup);
        if (source != nullptr && !source->directory) return SourceFile(*source, backup);
        if (source != nullptr) return SourceFolder(*source, backup);
        if (!backup->directory) return Extra(*backup);
        if (!ExcludesDir(policy_, backup->key)) Descend(*backup, false, true, true);
    }

    std::vector<FolderPair> TakeSubfolders() { return std::move(subfolders_); }

private:
    WideString Relative(const FolderEntry& entry) const {
        return pair_.relative.empty() ? entry.name : pair_.relative + L"\\" + entry.name;
    }

    bool Skipped(const FolderEntry& entry) const {
        if (policy_.skippedFolders.empty()) return false;
        const WideString key = ToLowerText(Relative(entry));
        for (const WideString& skipped : policy_.skippedFolders) {
            if (key == skipped) return true;
        }
        return false;
    }

    void Descend(const FolderEntry& entry, bool inSource, bool inBackup, bool purged) {
        // A junction in the backup is not followed: what it points to is not the backup's own.
        if (!inSource && entry.reparsePoint) return;
        // A folder the copy creates takes a cluster of its own.
        if (inSource && !inBackup && clusterBytes_ > 1) comparison_.need += clusterBytes_;
        subfolders_.push_back({Relative(entry), inSource, inBackup, purged});
    }

    void Purged(const FolderEntry& backup) {
        if (backup.directory) return Descend(backup, false, true, true);
        comparison_.deleted.push_back({Relative(backup), backup.size, backup.lastWrite});
    }

    void Extra(const FolderEntry& backup) {
        if (!ExcludesFile(policy_, backup.key)) comparison_.deleted.push_back({Relative(backup), backup.size, backup.lastWrite});
    }

    void SourceFile(const FolderEntry& source, const FolderEntry* backup) {
        const bool folderInBackup = backup != nullptr && backup->directory;
        if (ExcludesFile(policy_, source.key) || OverSizeCap(policy_, source.size)) {
            if (!ExcludesFile(policy_, source.key)) comparison_.overSizeCap.push_back(Relative(source));
            // A backup folder in the place of a file the copy skips is extra.
            if (folderInBackup && !ExcludesDir(policy_, backup->key)) Descend(*backup, false, true, true);
            return;
        }
        ++comparison_.files;
        const FolderEntry* backupFile = backup != nullptr && !backup->directory ? backup : nullptr;
        const bool upToDate = backupFile != nullptr && backup->size == source.size &&
                              SameTime(policy_, backup->lastWrite, source.lastWrite);
        if (visit_) visit_(Relative(source), source, backupFile, upToDate);
        if (upToDate) {
            ++comparison_.upToDate;
            return;
        }
        comparison_.bytesToCopy += source.size;
        comparison_.need += RoundUpToCluster(source.size, clusterBytes_);
        if (comparison_.firstMissing.empty()) comparison_.firstMissing = Relative(source);
        if (folderInBackup) Descend(*backup, false, true, true);
        if (backup != nullptr && !backup->directory) {
            comparison_.overwritten.push_back({Relative(*backup), backup->size, backup->lastWrite});
        }
    }

    void SourceFolder(const FolderEntry& source, const FolderEntry* backup) {
        const bool entered = !ExcludesDir(policy_, source.key) &&
                             !(policy_.skipJunctions && source.reparsePoint);
        if (backup != nullptr && !backup->directory) {
            // A file where the copy makes a folder goes whatever its name.
            if (entered) comparison_.deleted.push_back({Relative(*backup), backup->size, backup->lastWrite});
            if (!entered) Extra(*backup);
        }
        if (entered && backup != nullptr && backup->directory && backup->reparsePoint) {
            // A link in the backup where the source has a folder: neither the
            // walk nor the copy goes through it (it is left out as unreadable).
            comparison_.unreadable.push_back({Relative(source), Say(Message::BackupLinkNotFollowed)});
            return;
        }
        if (entered) Descend(source, true, backup != nullptr && backup->directory, false);
    }

    const CopyPolicy& policy_;
    const uint64_t clusterBytes_;
    const FolderPair& pair_;
    TreeComparison& comparison_;
    const TakenFileVisitor& visit_;
    std::vector<FolderPair> subfolders_;
};

}  // namespace

std::vector<FolderPair> CompareFolder(const CopyPolicy& policy, uint64_t clusterBytes,
                                      const FolderPair& pair, const FolderEntries& source,
                                      const FolderEntries& backup, TreeComparison* comparison,
                                      const TakenFileVisitor& visit) {
    FolderComparer comparer(policy, clusterBytes, pair, comparison, visit);
    size_t s = 0;
    size_t b = 0;
    while (s < source.size() || b < backup.size()) {
        const bool sourceFirst = b == backup.size() || (s < source.size() && source[s].key < backup[b].key);
        const bool backupFirst = s == source.size() || (b < backup.size() && backup[b].key < source[s].key);
        const FolderEntry* sourceEntry = backupFirst ? nullptr : &source[s++];
        const FolderEntry* backupEntry = sourceFirst ? nullptr : &backup[b++];
        comparer.Compare(sourceEntry, backupEntry);
    }
    return comparer.TakeSubfolders();
}

uint64_t RoundUpToCluster(uint64_t size, uint64_t clusterBytes) {
    if (clusterBytes <= 1 || size % clusterBytes == 0) return size;
    return size + (clusterBytes - size % clusterBytes);
}

void SortByKey(FolderEntries* entries) {
    std::sort(entries->begin(), entries->end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.key < b.key; });
}

TreeComparison CompareTreesWith(const CopyPolicy& policy, uint64_t clusterBytes,
                                const FolderLister& list, const TakenFileVisitor& visit) {
    TreeComparison comparison;
    std::vector<FolderPair> pending = {FolderPair()};
    FolderEntries sourceEntries;
    FolderEntries backupEntries;
    while (!pending.empty()) {
        const FolderPair pair = std::move(pending.back());
        pending.pop_back();
        sourceEntries.clear();
        backupEntries.clear();
        WideString problem;
        if (pair.inSource && !list(false, pair.relative, &sourceEntries, &problem)) {
            if (pair.relative.empty()) {
                comparison.sourceProblem = problem;
                return comparison;
            }
            comparison.unreadable.push_back({pair.relative, problem});
            continue;
        }
        if (pair.inBackup && !list(true, pair.relative, &backupEntries, &problem)) {
            if (pair.relative.empty()) {
                comparison.backupProblem = Say(Message::ItsBackup, {problem});
                return comparison;
            }
            comparison.unreadable.push_back({pair.relative, Say(Message::ItsBackup, {problem})});
            continue;
        }
        std::vector<FolderPair> next =
            CompareFolder(policy, clusterBytes, pair, sourceEntries, backupEntries, &comparison, visit);
        // Depth first, in key order: the last pushed is taken first.
        for (auto it = next.rbegin(); it != next.rend(); ++it) pending.push_back(std::move(*it));
    }
    return comparison;
}

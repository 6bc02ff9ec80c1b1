#include "verify/backup_lists.h"

#include <algorithm>

#include "text/canonical_path.h"
#include "text/case_text.h"
#include "text/path_text.h"
#include "verify/checksum_files.h"
#include "walk/tree_walk.h"

BackupLists::BackupLists(const WideString& computerFolder)
    : computerFolder_(computerFolder), book_(LoadChecksumBook(computerFolder)) {}

WideString BackupLists::RecordPathOf(const WideString& path) const { return PathBelow(path, computerFolder_); }

void BackupLists::Record(const WideString& recordPath, uint64_t size, int64_t lastWrite, const Digest& digest) {
    ChecksumRecord record;
    record.relative = recordPath;
    record.digest = digest;
    record.size = size;
    record.lastWrite = lastWrite;
    record.checkedRun = book_.Run();
    record.seen = true;
    book_.Put(record);
}

void BackupLists::Checked(const ChecksumRecord& record) {
    ChecksumRecord checked = record;
    checked.checkedRun = book_.Run();
    book_.Put(checked);
}

void BackupLists::Suspect(const ChecksumRecord& recorded) { suspects_[ToLowerText(recorded.relative)] = recorded; }

bool BackupLists::IsSuspect(const WideString& recordPath) const {
    return !suspects_.empty() && suspects_.count(ToLowerText(recordPath)) != 0;
}

void BackupLists::Settle(const WideString& recordPath) { suspects_.erase(ToLowerText(recordPath)); }

void BackupLists::Differs(const ChecksumRecord& actual) {
    differing_[ToLowerText(actual.relative)] = actual;
    book_.Remove(actual.relative);
}

std::vector<VersionMove> BackupLists::MovedIntoSet(const std::vector<VersionMove>& moves) {
    std::vector<VersionMove> differingKept;
    for (const VersionMove& move : moves) {
        const WideString recordPath = RecordPathOf(move.from);
        if (recordPath.empty()) continue;
        const WideString key = ToLowerText(recordPath);
        Moved moved;
        moved.setPath = move.to;
        const auto suspect = suspects_.empty() ? suspects_.end() : suspects_.find(key);
        if (suspect != suspects_.end()) {
            keptAt_[key] = move.to;
            // Its line in the set would claim bytes it no longer has.
            moved.hasBookRecord = true;
            moved.bookRecord = suspect->second;
            book_.Remove(recordPath);
            moved_.push_back(moved);
            continue;
        }
        const auto differing = differing_.empty() ? differing_.end() : differing_.find(key);
        if (differing != differing_.end()) {
            moved.hasSetRecord = true;
            moved.setRecord = differing->second;
            moved_.push_back(moved);
            differingKept.push_back(move);
            continue;
        }
        const std::optional<ChecksumRecord> record = book_.Find(recordPath);
        if (!record || record->size != move.size) continue;
        moved.hasSetRecord = moved.hasBookRecord = true;
        moved.setRecord = moved.bookRecord = *record;
        moved_.push_back(moved);
        book_.Remove(recordPath);
    }
    return differingKept;
}

WideString BackupLists::KeptAt(const WideString& recordPath) const {
    const auto found = keptAt_.find(ToLowerText(recordPath));
    return found == keptAt_.end() ? WideString() : found->second;
}

void BackupLists::SettleMoved() {
    for (const Moved& entry : moved_) {
        if (FactsOf(entry.setPath).exists) {
            if (entry.hasSetRecord) setRecords_.push_back(entry.setRecord);
        } else if (entry.hasBookRecord && !book_.Find(entry.bookRecord.relative)) {
            book_.Put(entry.bookRecord);
        }
    }
    moved_.clear();
}

void BackupLists::FolderChecked(const WideString& place) { checkedPlaces_.push_back(place); }

uint64_t BackupLists::Need(uint64_t newFiles, uint64_t clusterBytes) const {
    return ChecksumListsNeed(book_.Size(), newFiles, clusterBytes);
}

std::vector<BackupLists::SaveProblem> BackupLists::Save(const WideString& setFolder) {
    SettleMoved();
    // The records of files no longer in the backups checked this run go, in
    // one pass over the book.
    book_.DropUnseenBelow(checkedPlaces_, [this](const ChecksumRecord& record) {
        const FileFacts backup = FactsOf(JoinPath(computerFolder_, record.relative));
        return backup.exists && backup.size == record.size && backup.lastWrite == record.lastWrite;
    });
    std::vector<SaveProblem> problems;
    const WideString problem = SaveChecksumBook(book_, computerFolder_);
    if (!problem.empty()) problems.push_back({ChecksumListOf(computerFolder_), problem});
    // Lines of earlier versions removed again (a decayed copy) go with them.
    setRecords_.erase(std::remove_if(setRecords_.begin(), setRecords_.end(),
                                     [&](const ChecksumRecord& record) {
                                         return setFolder.empty() ||
                                                !FactsOf(JoinPath(setFolder, record.relative)).exists;
                                     }),
                      setRecords_.end());
    if (setRecords_.empty() || setFolder.empty()) return problems;
    std::sort(setRecords_.begin(), setRecords_.end(), [](const ChecksumRecord& a, const ChecksumRecord& b) {
        return ToLowerText(a.relative) < ToLowerText(b.relative);
    });
    const WideString setProblem = SaveSetChecksums(setRecords_, setFolder);
    if (!setProblem.empty()) problems.push_back({SetChecksumListOf(setFolder), setProblem});
    return problems;
}

#include "verify/backup_lists.h"

#include <algorithm>

#include "text/canonical_path.h"
#include "text/case_text.h"
#include "text/messages.h"
#include "text/path_text.h"
#include "verify/checksum_files.h"
#include "walk/tree_walk.h"

BackupLists::BackupLists(const WideString& computerFolder)
    : computerFolder_(computerFolder), book_(LoadChecksumBook(computerFolder, &readWhole_, &checksumListRead_)) {}

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

bool BackupLists::LineOfKept(const VersionMove& move, const WideString& relative, ChecksumRecord* line,
                             WideString* problem) {
    const WideString recordPath = RecordPathOf(move.from);
    const WideString key = ToLowerText(recordPath);
    *line = ChecksumRecord();
    const auto suspect = recordPath.empty() || suspects_.empty() ? suspects_.end() : suspects_.find(key);
    const auto differing = recordPath.empty() || differing_.empty() ? differing_.end() : differing_.find(key);
    const std::optional<ChecksumRecord> record = recordPath.empty() ? std::nullopt : book_.Find(recordPath);
    if (suspect != suspects_.end()) {
        *line = suspect->second;
    } else if (differing != differing_.end()) {
        *line = differing->second;
    } else if (record && record->size == move.size && record->lastWrite == move.lastWrite) {
        *line = *record;
    } else {
        const FileDigest read = DigestOfFile(move.from, ReadFrom::Device);
        if (!read.read) {
            *problem = read.problem;
            return false;
        }
        line->digest = read.digest;
        line->size = read.bytes;
        line->lastWrite = read.lastWrite;
    }
    line->relative = relative;
    line->seen = false;
    return true;
}

std::vector<VersionMove> BackupLists::MovedIntoSet(const std::vector<VersionMove>& moves,
                                                   const std::vector<ChecksumRecord>& lines) {
    std::vector<VersionMove> differingKept;
    for (size_t i = 0; i < moves.size(); ++i) {
        const VersionMove& move = moves[i];
        Moved moved;
        moved.setPath = move.to;
        moved.hasSetRecord = true;
        moved.setRecord = lines[i];
        const WideString recordPath = RecordPathOf(move.from);
        if (recordPath.empty()) {
            moved_.push_back(moved);  // a network folder's: no line of the book
            continue;
        }
        const WideString key = ToLowerText(recordPath);
        const auto suspect = suspects_.empty() ? suspects_.end() : suspects_.find(key);
        const std::optional<ChecksumRecord> record = book_.Find(recordPath);
        if (suspect != suspects_.end()) {
            keptAt_[key] = move.to;
            // Should it go back, the book keeps its old line, so that it is read again.
            moved.hasBookRecord = true;
            moved.bookRecord = suspect->second;
        } else if (!differing_.empty() && differing_.count(key) != 0) {
            differingKept.push_back(move);
        } else if (record && record->size == move.size && record->lastWrite == move.lastWrite) {
            moved.hasBookRecord = true;
            moved.bookRecord = *record;
        }
        book_.Remove(recordPath);
        moved_.push_back(moved);
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

StringList BackupLists::GoneUnkeptBelow(const WideString& place) const {
    StringList gone;
    book_.ForEachUnseenBelow(place, [&](const ChecksumRecord& record) {
        const FileFacts now = FactsOf(JoinPath(computerFolder_, record.relative));
        if (!now.exists || now.size != record.size || now.lastWrite != record.lastWrite) gone.push_back(record.relative);
    });
    return gone;
}

void BackupLists::FolderChecked(const WideString& place) { checkedPlaces_.push_back(place); }

uint64_t BackupLists::Need(uint64_t newFiles, uint64_t clusterBytes) const {
    return ChecksumListsNeed(book_.Size(), newFiles, clusterBytes);
}

std::vector<BackupLists::SaveProblem> BackupLists::SaveSetList(const WideString& setFolder) {
    std::vector<SaveProblem> problems;
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
    const WideString problem = SaveSetChecksums(setRecords_, setFolder);
    if (!problem.empty()) problems.push_back({SetChecksumListOf(setFolder), problem});
    return problems;
}

std::vector<BackupLists::SaveProblem> BackupLists::Save(const WideString& setFolder, uint64_t recordedRun) {
    SettleMoved();
    std::vector<SaveProblem> problems;
    if (!readWhole_) {
        // Lines read up to a place the stick could not give are not all the
        // lines: saving would lose the rest for good.
        problems.push_back({ChecksumListOf(computerFolder_), Say(Message::ListNotReadWhole)});
    } else {
        // The records of files no longer in the backups checked this run go,
        // in one pass over the book.
        book_.DropUnseenBelow(checkedPlaces_, [this](const ChecksumRecord& record) {
            const FileFacts backup = FactsOf(JoinPath(computerFolder_, record.relative));
            return backup.exists && backup.size == record.size && backup.lastWrite == record.lastWrite;
        });
        if (recordedRun != 0) book_.SetRecordedRun(recordedRun);
        const WideString problem = SaveChecksumBook(book_, computerFolder_, &checksumListRead_);
        if (!problem.empty()) problems.push_back({ChecksumListOf(computerFolder_), problem});
    }
    const std::vector<SaveProblem> setProblems = SaveSetList(setFolder);
    problems.insert(problems.end(), setProblems.begin(), setProblems.end());
    return problems;
}

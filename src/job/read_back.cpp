#include "job/read_back.h"

#include <algorithm>

#include "common/windows_headers.h"
#include "job/version_keeping.h"
#include "plan/backup_plan.h"
#include "text/canonical_path.h"
#include "text/case_text.h"
#include "text/number_text.h"
#include "text/path_text.h"
#include "text/system_error.h"
#include "trace/trace_log.h"
#include "verify/checksum_files.h"
#include "verify/read_back_rules.h"
#include "text/messages.h"

namespace {

FileFacts FactsOfEntry(const FolderEntry& entry) { return {true, entry.size, entry.lastWrite}; }

// Removes a file of the backup; the system's reason when it cannot.
WideString RemoveCopy(const WideString& path) {
    const WideString longPath = LongPathForm(path);
    SetFileAttributesW(longPath.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileW(longPath.c_str()) ? WideString() : SystemReason(GetLastError());
}

bool IsBelow(const WideString& key, const WideString& placeKey) {
    return key.size() > placeKey.size() + 1 && key.compare(0, placeKey.size(), placeKey) == 0 &&
           key[placeKey.size()] == L'\\';
}

// Takes a backup file out of the folder's comparison, as the walk would
// have counted it had it been missing: the copy now takes it.
void CountAsToCopy(PlannedFolder* folder, const WideString& relative, uint64_t size, uint64_t clusterBytes) {
    TreeComparison& before = folder->before;
    if (before.upToDate != 0) --before.upToDate;
    before.bytesToCopy += size;
    before.need += RoundUpToCluster(size, clusterBytes);
    if (before.firstMissing.empty()) before.firstMissing = relative;
}

// Leaves the backup file out of the versions the folder keeps: a changed
// copy is never kept as an earlier version.
void DropFromOverwritten(PlannedFolder* folder, const WideString& relative) {
    std::vector<BackupFile>& overwritten = folder->before.overwritten;
    const WideString key = ToLowerText(relative);
    overwritten.erase(std::remove_if(overwritten.begin(), overwritten.end(),
                                     [&](const BackupFile& file) { return ToLowerText(file.relative) == key; }),
                      overwritten.end());
}

}  // namespace

WideString MismatchLine(const WideString& sourcePath, const WideString& drive) {
    return Say(Message::CopyMismatch, {sourcePath, drive});
}

ReadBackOfRun::ReadBackOfRun(const BackupPlan& plan)
    : computerFolder_(plan.computerFolder), drive_(plan.drive), book_(LoadChecksumBook(plan.computerFolder)) {
    selected_ = RollingSelection(book_, RollingBudget(book_.Bytes()));
    for (WideString& path : selected_) path = ToLowerText(path);
    std::sort(selected_.begin(), selected_.end());
}

WideString ReadBackOfRun::PlaceOf(const PlannedFolder& folder) const {
    return PathBelow(folder.destination, computerFolder_);
}

WideString ReadBackOfRun::RecordPath(const WideString& place, const WideString& relative) const {
    return place + L"\\" + relative;
}

void ReadBackOfRun::Record(const WideString& relative, const FolderEntry& backup, const Digest& digest) {
    ChecksumRecord record;
    record.relative = relative;
    record.digest = digest;
    record.size = backup.size;
    record.lastWrite = backup.lastWrite;
    record.checkedRun = book_.Run();
    record.seen = true;
    book_.Put(record);
}

void ReadBackOfRun::CheckKeptCopies(PlannedFolder* folder, uint64_t clusterBytes) {
    const WideString place = PlaceOf(*folder);
    if (place.empty()) return;
    const WideString placeKey = ToLowerText(place);
    auto first = std::lower_bound(selected_.begin(), selected_.end(), placeKey + L"\\");
    for (auto it = first; it != selected_.end() && IsBelow(*it, placeKey); ++it) {
        const ChecksumRecord* found = book_.Find(*it);
        if (found == nullptr) continue;
        const ChecksumRecord record = *found;
        const WideString relative = record.relative.substr(place.size() + 1);
        const WideString backupPath = JoinPath(computerFolder_, record.relative);
        const WideString sourcePath = JoinPath(folder->source, relative);
        // The open file says its size and time: one lookup of the path, not two.
        const FileDigest readBack = DigestOfFile(backupPath, ReadFrom::Device);
        const FileFacts backup = readBack.opened ? FileFacts{true, readBack.size, readBack.lastWrite} : FactsOf(backupPath);
        const bool sound = KeptCopyStateOf(record, backup, readBack, FileFacts()) == KeptCopyState::Sound;
        const FileFacts source = sound ? FileFacts() : FactsOf(sourcePath);
        const KeptCopyState state = sound ? KeptCopyState::Sound : KeptCopyStateOf(record, backup, readBack, source);
        if (state == KeptCopyState::Stale) continue;
        ++rollingFiles_;
        rollingBytes_ += record.size;
        if (state == KeptCopyState::Sound) {
            ChecksumRecord checked = record;
            checked.checkedRun = book_.Run();
            book_.Put(checked);
            continue;
        }
        ++rollingBad_;
        if (state == KeptCopyState::Damaged) {
            ++damaged_;
            ReportLine(Say(Message::DamagedSourceGone, {backupPath}));
            continue;
        }
        const WideString problem = RemoveCopy(backupPath);
        if (!problem.empty()) {
            ++damaged_;
            ReportLine(Say(Message::DamagedNotRemoved, {backupPath, drive_, problem}));
            continue;
        }
        book_.Remove(record.relative);
        const bool upToDate = source.size == backup.size && source.lastWrite == backup.lastWrite;
        if (upToDate) CountAsToCopy(folder, relative, source.size, clusterBytes);
        DropFromOverwritten(folder, relative);
        repaired_.push_back(record.relative);
    }
}

TakenFileVisitor ReadBackOfRun::CopiesVisitor(const PlannedFolder& folder, int64_t copyStarted,
                                              FolderReadBack* found) {
    const WideString place = PlaceOf(folder);
    return [this, &folder, place, copyStarted, found](const WideString& relative, const FolderEntry& source,
                                                      const FolderEntry* backup, bool upToDate) {
        const WideString sourcePath = JoinPath(folder.source, relative);
        if (!upToDate) {
            if (backup != nullptr && source.lastWrite >= copyStarted && backup->lastWrite < source.lastWrite) {
                found->lines.push_back(Say(Message::ChangedDuringBackup, {sourcePath}));
            }
            return;
        }
        const WideString recordPath = place.empty() ? WideString() : RecordPath(place, relative);
        const ChecksumRecord* record = recordPath.empty() ? nullptr : book_.Find(recordPath);
        if (record != nullptr && record->size == backup->size && record->lastWrite == backup->lastWrite) {
            book_.MarkSeen(recordPath);
            return;
        }
        const FileDigest copy = DigestOfFile(JoinPath(folder.destination, relative), ReadFrom::Device);
        const FileDigest original = DigestOfFile(sourcePath, ReadFrom::Cache);
        switch (CopyCheckOf(copy, original, FactsOfEntry(source), FactsOf(sourcePath))) {
            case CopyCheck::Match:
            case CopyCheck::SourceUnreadable:
                if (!recordPath.empty()) Record(recordPath, *backup, copy.digest);
                return;
            case CopyCheck::SourceChanged:
                found->lines.push_back(Say(Message::ChangedDuringBackup, {sourcePath}));
                found->complete = false;
                return;
            case CopyCheck::BackupUnreadable:
                found->lines.push_back(Say(Message::CopyUnreadable, {sourcePath, drive_, copy.problem}));
                found->complete = false;
                return;
            case CopyCheck::Mismatch:
                found->mismatched.push_back(relative);
                return;
        }
    };
}

void ReadBackOfRun::RemoveMismatched(const PlannedFolder& folder, FolderReadBack* found) {
    for (const WideString& relative : found->mismatched) {
        const WideString problem = RemoveCopy(JoinPath(folder.destination, relative));
        if (problem.empty()) continue;
        WriteTrace(Say(Message::CouldNotRemove, {JoinPath(folder.destination, relative), problem}));
    }
}

void ReadBackOfRun::CheckAgain(const PlannedFolder& folder, bool copiedAgain, FolderReadBack* found) {
    const WideString place = PlaceOf(folder);
    for (const WideString& relative : found->mismatched) {
        const WideString sourcePath = JoinPath(folder.source, relative);
        const WideString backupPath = JoinPath(folder.destination, relative);
        const FileFacts source = FactsOf(sourcePath);
        const FileFacts backup = FactsOf(backupPath);
        if (copiedAgain && backup.exists && backup.size == source.size && backup.lastWrite == source.lastWrite) {
            const FileDigest copy = DigestOfFile(backupPath, ReadFrom::Device);
            const FileDigest original = DigestOfFile(sourcePath, ReadFrom::Cache);
            if (CopyCheckOf(copy, original, source, FactsOf(sourcePath)) == CopyCheck::Match) {
                if (!place.empty()) {
                    FolderEntry entry;
                    entry.size = backup.size;
                    entry.lastWrite = backup.lastWrite;
                    Record(RecordPath(place, relative), entry, copy.digest);
                }
                continue;
            }
        }
        // A wrong copy must not stay: the next mirror would take it for up to date.
        if (backup.exists) RemoveCopy(backupPath);
        found->lines.push_back(MismatchLine(sourcePath, drive_));
        found->complete = false;
    }
}

void ReadBackOfRun::MovedIntoSet(const std::vector<VersionMove>& moves) {
    for (const VersionMove& move : moves) {
        const WideString recordPath = PathBelow(move.from, computerFolder_);
        const ChecksumRecord* record = recordPath.empty() ? nullptr : book_.Find(recordPath);
        if (record == nullptr || record->size != move.size) continue;
        moved_.emplace_back(move.to, *record);
        book_.Remove(recordPath);
    }
}

void ReadBackOfRun::SettleMoved() {
    for (const auto& entry : moved_) {
        if (FactsOf(entry.first).exists) {
            setRecords_.push_back(entry.second);
        } else if (book_.Find(entry.second.relative) == nullptr) {
            book_.Put(entry.second);
        }
    }
    moved_.clear();
}

StringList ReadBackOfRun::AfterFolder(const PlannedFolder& folder) {
    SettleMoved();
    StringList lines;
    const WideString place = PlaceOf(folder);
    if (place.empty()) return lines;
    book_.DropUnseenBelow(place, [this](const ChecksumRecord& record) {
        const FileFacts backup = FactsOf(JoinPath(computerFolder_, record.relative));
        return backup.exists && backup.size == record.size && backup.lastWrite == record.lastWrite;
    });
    for (const WideString& recordPath : repaired_) {
        const ChecksumRecord* record = book_.Find(recordPath);
        if (record == nullptr || record->checkedRun != book_.Run()) continue;
        lines.push_back(Say(Message::Repaired, {JoinPath(folder.source, recordPath.substr(place.size() + 1)), drive_}));
    }
    repaired_.clear();
    return lines;
}

WideString ReadBackOfRun::RollingLine() const {
    if (rollingFiles_ == 0) return WideString();
    const WideString result =
        rollingBad_ == 0 ? Say(Message::RollingAllMatch) : Say(Message::RollingChanged, {GroupedText(rollingBad_)});
    return Say(rollingFiles_ == 1 ? Message::RollingCheckedOne : Message::RollingCheckedMany,
               {GroupedText(rollingFiles_), SizeText(rollingBytes_), drive_, result});
}

StringList ReadBackOfRun::Save(const WideString& setFolder) {
    SettleMoved();
    StringList lines;
    const WideString problem = SaveChecksumBook(book_, computerFolder_);
    if (!problem.empty()) {
        lines.push_back(Say(Message::CantWriteChecksumList, {ChecksumListOf(computerFolder_), problem}));
    }
    if (setRecords_.empty() || setFolder.empty()) return lines;
    std::sort(setRecords_.begin(), setRecords_.end(), [](const ChecksumRecord& a, const ChecksumRecord& b) {
        return ToLowerText(a.relative) < ToLowerText(b.relative);
    });
    const WideString setProblem = SaveSetChecksums(setRecords_, setFolder);
    if (!setProblem.empty()) {
        lines.push_back(Say(Message::CantWriteChecksumList, {SetChecksumListOf(setFolder), setProblem}));
    }
    return lines;
}

uint64_t ReadBackOfRun::ListsNeed(const PlannedFolder& folder, uint64_t clusterBytes) const {
    return ChecksumListsNeed(book_.Size(), folder.before.MissingOrOlder(), clusterBytes);
}

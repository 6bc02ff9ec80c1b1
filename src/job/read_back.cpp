#include "job/read_back.h"

#include <algorithm>
#include <system_error>

#include "common/scoped_handle.h"
#include "common/windows_headers.h"
#include "job/version_keeping.h"
#include "plan/backup_plan.h"
#include "script/cmd_text.h"
#include "script/command_line.h"
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

// The copies read back at once, each beside its source (see FinishCopies).
const size_t kCopiesAtOnce = 256;

// The source as it was once read: from its open file when it was read, else
// asked of the path.
FileFacts SourceAfterReading(const FileDigest& original, const WideString& sourcePath) {
    return original.read ? FileFacts{true, original.sizeAfter, original.lastWriteAfter} : FactsOf(sourcePath);
}

// Removes a file of the backup; the system's reason when it cannot.
WideString RemoveCopy(const WideString& path) {
    const WideString longPath = LongPathForm(path);
    SetFileAttributesW(longPath.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileW(longPath.c_str()) ? WideString() : SystemReason(GetLastError());
}

// Whether the source can be opened for reading now; the system's reason
// when it cannot (a database its program holds open without sharing).
WideString ReadProblemOf(const WideString& path) {
    const ScopedFileHandle file(CreateFileW(LongPathForm(path).c_str(), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.Valid() ? WideString() : SystemReason(GetLastError());
}

bool IsBelow(const WideString& key, const WideString& placeKey) {
    return key.size() > placeKey.size() + 1 && key.compare(0, placeKey.size(), placeKey) == 0 &&
           key[placeKey.size()] == L'\\';
}

// Takes a backup file out of the folder's comparison, as the walk would
// have counted it had it been missing: the copy now takes it, and the file
// itself is kept as an earlier version before that.
void CountAsToCopy(PlannedFolder* folder, const WideString& relative, uint64_t size, uint64_t clusterBytes) {
    TreeComparison& before = folder->before;
    if (before.upToDate != 0) --before.upToDate;
    before.bytesToCopy += size;
    before.need += RoundUpToCluster(size, clusterBytes);
    if (before.firstMissing.empty()) before.firstMissing = relative;
    before.overwritten.push_back({relative, size});
}

// Removes the folders left empty from the folder up to (not including) the stop.
void RemoveEmptyFoldersUpTo(WideString folder, const WideString& stop) {
    while (folder.size() > stop.size() && RemoveDirectoryW(LongPathForm(folder).c_str())) {
        folder = ParentPath(folder);
    }
}

}  // namespace

WideString MismatchLine(const WideString& sourcePath, const WideString& drive) {
    return Say(Message::CopyMismatch, {sourcePath, drive});
}

ReadBackOfRun::ReadBackOfRun(const BackupPlan& plan, const CopyPolicy& policy)
    : computerFolder_(plan.computerFolder),
      versionsFolder_(plan.versionsFolder),
      drive_(plan.drive),
      policy_(policy),
      book_(LoadChecksumBook(plan.computerFolder)) {
    selected_ = RollingNumbers(book_);
    handled_.assign(selected_.size(), false);
}

std::pair<size_t, size_t> ReadBackOfRun::PickedBelow(const WideString& place) const {
    const WideString placeKey = FoldedKey(place);
    const WideString start = placeKey + L"\\";
    const auto first = std::lower_bound(selected_.begin(), selected_.end(), start,
                                        [this](ChecksumBook::Number number, const WideString& key) {
                                            return FoldedKey(book_.PathNumbered(number)) < key;
                                        });
    auto last = first;
    while (last != selected_.end() && IsBelow(FoldedKey(book_.PathNumbered(*last)), placeKey)) ++last;
    return {static_cast<size_t>(first - selected_.begin()), static_cast<size_t>(last - selected_.begin())};
}

void ReadBackOfRun::StartRollingReads(const PlannedFolder& folder) {
    AwaitRollingReads();
    readAhead_.clear();
    const WideString place = PlaceOf(folder);
    if (place.empty()) return;
    const std::pair<size_t, size_t> range = PickedBelow(place);
    if (range.first == range.second) return;
    readAheadFirst_ = range.first;
    readAhead_.resize(range.second - range.first);
    try {
        reader_ = std::thread([this] {
            FileReader reader;
            for (size_t i = 0; i < readAhead_.size(); ++i) {
                const ChecksumBook::Number number = selected_[readAheadFirst_ + i];
                const FileDigest got = reader.Digest(JoinPath(computerFolder_, book_.PathNumbered(number)),
                                                     ReadFrom::Device);
                readAhead_[i] = {got.size, got.lastWrite, got.read && book_.HoldsBytes(number, got.digest, got.bytes)};
            }
        });
    } catch (const std::system_error&) {
        readAhead_.clear();  // no thread to be had: the check reads them itself
    }
}

void ReadBackOfRun::AwaitRollingReads() {
    if (reader_.joinable()) reader_.join();
}

WideString ReadBackOfRun::PlaceOf(const PlannedFolder& folder) const {
    return PathBelow(folder.destination, computerFolder_);
}

WideString ReadBackOfRun::RecordPath(const WideString& place, const WideString& relative) const {
    return place + L"\\" + relative;
}

void ReadBackOfRun::Record(const WideString& relative, uint64_t size, int64_t lastWrite, const Digest& digest) {
    ChecksumRecord record;
    record.relative = relative;
    record.digest = digest;
    record.size = size;
    record.lastWrite = lastWrite;
    record.checkedRun = book_.Run();
    record.seen = true;
    book_.Put(record);
}

FileDigest ReadBackOfRun::ReadTwice(const WideString& backupPath, const ChecksumRecord& record,
                                    const FileDigest* readAhead) const {
    const FileDigest first = readAhead != nullptr ? *readAhead : DigestOfFile(backupPath, ReadFrom::Device);
    if (first.read && first.bytes == record.size && first.digest == record.digest) return first;
    // One failed or odd read does not condemn a copy: it is read once more.
    return DigestOfFile(backupPath, ReadFrom::Device);
}

ReadBackOfRun::Suspect* ReadBackOfRun::SuspectAt(const WideString& recordPath) {
    if (suspects_.empty()) return nullptr;
    const auto found = suspectAt_.find(ToLowerText(recordPath));
    if (found == suspectAt_.end() || suspects_[found->second].settled) return nullptr;
    return &suspects_[found->second];
}

TakenFileVisitor ReadBackOfRun::UnrecordedVisitor(const PlannedFolder& folder, std::vector<WideString>* unrecorded) {
    const WideString place = PlaceOf(folder);
    return [this, place, unrecorded](const WideString& relative, const FolderEntry&, const FolderEntry* backup,
                                     bool upToDate) {
        if (!upToDate || backup == nullptr) return;
        if (!place.empty() && book_.SeenAsRecorded(RecordPath(place, relative), backup->size, backup->lastWrite)) {
            return;
        }
        unrecorded->push_back(relative);
    };
}

bool ReadBackOfRun::CheckUnrecorded(PlannedFolder* folder, const std::vector<WideString>& candidates,
                                    uint64_t clusterBytes) {
    bool allRecorded = true;
    const WideString place = PlaceOf(*folder);
    for (const WideString& relative : candidates) {
        const WideString backupPath = JoinPath(folder->destination, relative);
        const FileFacts backup = FactsOf(backupPath);
        allRecorded = allRecorded && !place.empty();
        if (!backup.exists) {
            allRecorded = false;
            continue;
        }
        const WideString recordPath = place.empty() ? WideString() : RecordPath(place, relative);
        const std::optional<ChecksumRecord> record = recordPath.empty() ? std::nullopt : book_.Find(recordPath);
        if (record && record->size == backup.size && record->lastWrite == backup.lastWrite) continue;
        // A changed copy picked for the rolling check is that check's to decide.
        if (!recordPath.empty() && SuspectAt(recordPath) != nullptr) continue;
        const WideString sourcePath = JoinPath(folder->source, relative);
        const FileFacts sourceBefore = FactsOf(sourcePath);
        const FileDigest copy = DigestOfFile(backupPath, ReadFrom::Device);
        const FileDigest original = DigestOfFile(sourcePath, ReadFrom::Cache);
        const CopyCheck check = CopyCheckOf(copy, original, sourceBefore, FactsOf(sourcePath));
        if (check == CopyCheck::Match) {
            if (!recordPath.empty()) Record(recordPath, backup.size, backup.lastWrite, copy.digest);
            continue;
        }
        allRecorded = false;
        if (check != CopyCheck::Mismatch) continue;  // the walk after the copy reads it again
        // Same size and time, other bytes: which side changed cannot be
        // known, so the old bytes are kept before the copy replaces them.
        CountAsToCopy(folder, relative, backup.size, clusterBytes);
        if (recordPath.empty()) continue;
        ChecksumRecord kept;
        kept.relative = recordPath;
        kept.digest = copy.digest;
        kept.size = backup.size;
        kept.lastWrite = backup.lastWrite;
        kept.checkedRun = book_.Run();
        differing_[ToLowerText(recordPath)] = kept;
        book_.Remove(recordPath);
    }
    return allRecorded;
}

void ReadBackOfRun::CheckKeptCopies(PlannedFolder* folder, uint64_t clusterBytes) {
    const WideString place = PlaceOf(*folder);
    if (place.empty()) return;
    AwaitRollingReads();
    const std::pair<size_t, size_t> range = PickedBelow(place);
    for (size_t index = range.first; index < range.second; ++index) {
        handled_[index] = true;
        const std::optional<ChecksumRecord> found = book_.Find(book_.PathNumbered(selected_[index]));
        if (!found) continue;
        const ChecksumRecord record = *found;
        const WideString relative = record.relative.substr(place.size() + 1);
        const WideString backupPath = JoinPath(computerFolder_, record.relative);
        const WideString sourcePath = JoinPath(folder->source, relative);
        // The open file says its size and time: one lookup of the path, not two.
        const size_t ahead = index - readAheadFirst_;
        FileDigest early;
        if (index >= readAheadFirst_ && ahead < readAhead_.size() && readAhead_[ahead].matched &&
            book_.HoldsBytes(selected_[index], record.digest, record.size)) {
            early.read = early.opened = true;
            early.digest = record.digest;
            early.bytes = record.size;
            early.size = early.sizeAfter = readAhead_[ahead].size;
            early.lastWrite = early.lastWriteAfter = readAhead_[ahead].lastWrite;
        }
        const FileDigest readBack = ReadTwice(backupPath, record, early.read ? &early : nullptr);
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
        // The copy could not replace it now: it stays, named, until a run can.
        const WideString problem = ReadProblemOf(sourcePath);
        if (!problem.empty()) {
            ++damaged_;
            ReportLine(Say(Message::DamagedSourceUnreadable, {backupPath, drive_, problem}));
            continue;
        }
        const bool upToDate = source.size == backup.size && ::SameTime(policy_, source.lastWrite, backup.lastWrite);
        if (upToDate) CountAsToCopy(folder, relative, backup.size, clusterBytes);
        suspectAt_[ToLowerText(record.relative)] = suspects_.size();
        suspects_.push_back({record, sourcePath, WideString(), false});
    }
}

TakenFileVisitor ReadBackOfRun::CopiesVisitor(const PlannedFolder& folder, int64_t copyStarted,
                                              FolderReadBack* found) {
    const WideString place = PlaceOf(folder);
    return [this, &folder, place, copyStarted, found](const WideString& relative, const FolderEntry& source,
                                                      const FolderEntry* backup, bool upToDate) {
        if (!upToDate) {
            if (backup != nullptr && source.lastWrite >= copyStarted && backup->lastWrite < source.lastWrite) {
                found->lines.push_back(Say(Message::ChangedDuringBackup, {JoinPath(folder.source, relative)}));
                found->complete = false;
            }
            return;
        }
        if (!place.empty() && book_.SeenAsRecorded(RecordPath(place, relative), backup->size, backup->lastWrite)) {
            return;
        }
        pendingCopies_.push_back({relative, source.size, source.lastWrite, backup->size, backup->lastWrite});
        if (pendingCopies_.size() >= kCopiesAtOnce) FinishCopies(folder, found);
    };
}

void ReadBackOfRun::FinishCopies(const PlannedFolder& folder, FolderReadBack* found) {
    if (pendingCopies_.empty()) return;
    // Two files at a time: each open costs more than its small file's bytes.
    std::vector<FileDigest> copies(pendingCopies_.size());
    const auto readCopies = [&] {
        FileReader reader;
        for (size_t i = 0; i < copies.size(); ++i) {
            copies[i] = reader.Digest(JoinPath(folder.destination, pendingCopies_[i].relative), ReadFrom::Device);
        }
    };
    std::thread reader;
    try {
        reader = std::thread(readCopies);
    } catch (const std::system_error&) {
        readCopies();  // no thread to be had: one file after the other
    }
    std::vector<FileDigest> originals;
    originals.reserve(pendingCopies_.size());
    for (const PendingCopy& pending : pendingCopies_) {
        originals.push_back(DigestOfFile(JoinPath(folder.source, pending.relative), ReadFrom::Cache));
    }
    if (reader.joinable()) reader.join();
    const WideString place = PlaceOf(folder);
    for (size_t i = 0; i < pendingCopies_.size(); ++i) {
        const PendingCopy& pending = pendingCopies_[i];
        const WideString sourcePath = JoinPath(folder.source, pending.relative);
        const FileFacts sourceListed{true, pending.sourceSize, pending.sourceWrite};
        switch (CopyCheckOf(copies[i], originals[i], sourceListed, SourceAfterReading(originals[i], sourcePath))) {
            case CopyCheck::Match:
            case CopyCheck::SourceUnreadable:
                if (!place.empty()) {
                    Record(RecordPath(place, pending.relative), pending.backupSize, pending.backupWrite,
                           copies[i].digest);
                }
                break;
            case CopyCheck::SourceChanged:
                found->lines.push_back(Say(Message::ChangedDuringBackup, {sourcePath}));
                found->complete = false;
                break;
            case CopyCheck::BackupUnreadable:
                found->lines.push_back(Say(Message::CopyUnreadable, {sourcePath, drive_, copies[i].problem}));
                found->complete = false;
                break;
            case CopyCheck::Mismatch:
                found->mismatched.push_back(pending.relative);
                break;
        }
    }
    pendingCopies_.clear();
}

void ReadBackOfRun::RemoveMismatched(const PlannedFolder& folder, FolderReadBack* found) {
    for (const WideString& relative : found->mismatched) {
        const WideString problem = RemoveCopy(JoinPath(folder.destination, relative));
        if (problem.empty()) continue;
        WriteTrace(Say(Message::CouldNotRemove, {JoinPath(folder.destination, relative), problem}));
    }
}

StringList CopyAgainArguments(const PlannedFolder& folder, const StringList& relatives, unsigned codePage) {
    StringList arguments;
    for (const WideString& relative : relatives) {
        const WideString name = FileNamePart(relative);
        const WideString below = relative.size() > name.size() ? relative.substr(0, relative.size() - name.size() - 1)
                                                               : WideString();
        const WideString source = below.empty() ? folder.source : JoinPath(folder.source, below);
        const WideString backup = below.empty() ? folder.destination : JoinPath(folder.destination, below);
        const WideString argument =
            QuotedFolderElement(source) + L" " + QuotedFolderElement(backup) + L" \"" + name + L"\"";
        if (FitsCodePage(argument, codePage) && argument.find(L'%') == WideString::npos) {
            arguments.push_back(argument);
        }
    }
    return arguments;
}

void ReadBackOfRun::CheckAgain(const PlannedFolder& folder, bool copiedAgain, FolderReadBack* found) {
    const WideString place = PlaceOf(folder);
    for (const WideString& relative : found->mismatched) {
        const WideString sourcePath = JoinPath(folder.source, relative);
        const WideString backupPath = JoinPath(folder.destination, relative);
        const FileFacts source = FactsOf(sourcePath);
        const FileFacts backup = FactsOf(backupPath);
        // The second copy is read back whenever it landed with the source's
        // size and time, compared as the copy compares times.
        if (copiedAgain && backup.exists && backup.size == source.size &&
            ::SameTime(policy_, backup.lastWrite, source.lastWrite)) {
            const FileDigest copy = DigestOfFile(backupPath, ReadFrom::Device);
            const FileDigest original = DigestOfFile(sourcePath, ReadFrom::Cache);
            if (CopyCheckOf(copy, original, source, FactsOf(sourcePath)) == CopyCheck::Match) {
                if (!place.empty()) Record(RecordPath(place, relative), backup.size, backup.lastWrite, copy.digest);
                continue;
            }
        }
        // A wrong copy must not stay: the next mirror would take it for up to
        // date. Its earlier version, if it had one, is in the set and goes back.
        if (backup.exists) RemoveCopy(backupPath);
        found->lines.push_back(MismatchLine(sourcePath, drive_));
        found->complete = false;
    }
}

void ReadBackOfRun::MovedIntoSet(const std::vector<VersionMove>& moves) {
    for (const VersionMove& move : moves) {
        const WideString recordPath = PathBelow(move.from, computerFolder_);
        if (recordPath.empty()) continue;
        Moved moved;
        moved.setPath = move.to;
        if (Suspect* suspect = SuspectAt(recordPath)) {
            suspect->setPath = move.to;
            // Its line in the set would claim bytes it no longer has; should
            // it go back, the book keeps its old line, so it is read again.
            moved.hasBookRecord = true;
            moved.bookRecord = suspect->recorded;
            book_.Remove(recordPath);
            moved_.push_back(moved);
            continue;
        }
        const auto differing = differing_.empty() ? differing_.end() : differing_.find(ToLowerText(recordPath));
        if (differing != differing_.end()) {
            moved.hasSetRecord = true;
            moved.setRecord = differing->second;
            moved_.push_back(moved);
            differingLines_.push_back(
                Say(Message::DifferingCopyKept, {move.source.empty() ? move.from : move.source, drive_, move.to}));
            continue;
        }
        const std::optional<ChecksumRecord> record = book_.Find(recordPath);
        if (!record || record->size != move.size) continue;
        moved.hasSetRecord = moved.hasBookRecord = true;
        moved.setRecord = moved.bookRecord = *record;
        moved_.push_back(moved);
        book_.Remove(recordPath);
    }
}

void ReadBackOfRun::SettleMoved() {
    for (const Moved& entry : moved_) {
        if (FactsOf(entry.setPath).exists) {
            if (entry.hasSetRecord) setRecords_.push_back(entry.setRecord);
        } else if (entry.hasBookRecord && !book_.Find(entry.bookRecord.relative)) {
            book_.Put(entry.bookRecord);
        }
    }
    moved_.clear();
}

StringList ReadBackOfRun::AfterFolder(const PlannedFolder& folder) {
    SettleMoved();
    StringList lines;
    const WideString place = PlaceOf(folder);
    if (place.empty()) return lines;
    checkedPlaces_.push_back(place);
    const WideString placeKey = ToLowerText(place);
    for (Suspect& suspect : suspects_) {
        if (suspect.settled || !IsBelow(ToLowerText(suspect.recorded.relative), placeKey)) continue;
        // Not moved, or back in the backup: it was not replaced (said at the end).
        if (suspect.setPath.empty() || !FactsOf(suspect.setPath).exists) continue;
        suspect.settled = true;
        const std::optional<ChecksumRecord> replaced = book_.Find(suspect.recorded.relative);
        const bool checked = replaced && replaced->checkedRun == book_.Run();
        if (checked && replaced->digest == suspect.recorded.digest && RemoveCopy(suspect.setPath).empty()) {
            // The source still has the recorded bytes: the stick's copy decayed.
            RemoveEmptyFoldersUpTo(ParentPath(suspect.setPath), versionsFolder_);
            ++droppedFromSet_;
            lines.push_back(Say(Message::Repaired, {suspect.source, drive_}));
            continue;
        }
        lines.push_back(Say(Message::ChangedCopyKept, {suspect.source, drive_, suspect.setPath}));
    }
    lines.insert(lines.end(), differingLines_.begin(), differingLines_.end());
    differingLines_.clear();
    return lines;
}

StringList ReadBackOfRun::AfterLastFolder() {
    StringList lines;
    for (size_t i = 0; i < selected_.size(); ++i) {
        if (handled_[i]) continue;
        const std::optional<ChecksumRecord> found = book_.Find(book_.PathNumbered(selected_[i]));
        if (!found) continue;
        const ChecksumRecord record = *found;
        const WideString backupPath = JoinPath(computerFolder_, record.relative);
        const FileDigest readBack = ReadTwice(backupPath, record);
        if (!readBack.opened && !FactsOf(backupPath).exists) {
            book_.Remove(record.relative);  // no longer on the stick
            continue;
        }
        ++rollingFiles_;
        rollingBytes_ += record.size;
        if (readBack.read && readBack.bytes == record.size && readBack.digest == record.digest) {
            ChecksumRecord checked = record;
            checked.checkedRun = book_.Run();
            book_.Put(checked);
            continue;
        }
        // No source to compare with: only its line says what it should hold.
        ++rollingBad_;
        ++damaged_;
        lines.push_back(Say(Message::DamagedRecorded, {backupPath}));
    }
    for (Suspect& suspect : suspects_) {
        if (suspect.settled) continue;
        suspect.settled = true;
        ++damaged_;
        lines.push_back(Say(Message::DamagedNotReplaced, {JoinPath(computerFolder_, suspect.recorded.relative), drive_}));
    }
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
    // The records of files no longer in the backups checked this run go, in
    // one pass over the book.
    book_.DropUnseenBelow(checkedPlaces_, [this](const ChecksumRecord& record) {
        const FileFacts backup = FactsOf(JoinPath(computerFolder_, record.relative));
        return backup.exists && backup.size == record.size && backup.lastWrite == record.lastWrite;
    });
    StringList lines;
    const WideString problem = SaveChecksumBook(book_, computerFolder_);
    if (!problem.empty()) {
        lines.push_back(Say(Message::CantWriteChecksumList, {ChecksumListOf(computerFolder_), problem}));
    }
    // Lines of earlier versions removed again (a decayed copy) go with them.
    setRecords_.erase(std::remove_if(setRecords_.begin(), setRecords_.end(),
                                     [&](const ChecksumRecord& record) {
                                         return setFolder.empty() ||
                                                !FactsOf(JoinPath(setFolder, record.relative)).exists;
                                     }),
                      setRecords_.end());
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

#include "check/rolling_check.h"

#include <algorithm>
#include <system_error>

#include "check/check_actions.h"
#include "common/scoped_handle.h"
#include "common/windows_headers.h"
#include "script/text_files.h"
#include "text/canonical_path.h"
#include "text/case_text.h"
#include "text/path_text.h"
#include "text/system_error.h"
#include "verify/read_back_rules.h"
#include "walk/tree_walk.h"

namespace {

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

}  // namespace

RollingCheck::RollingCheck(BackupLists& lists, const BackupPlan& plan, const CopyPolicy& policy)
    : lists_(lists),
      computerFolder_(plan.computerFolder),
      versionsFolder_(plan.versionsFolder),
      policy_(policy),
      picks_(RollingNumbers(lists.Book())) {
    handled_.assign(picks_.size(), false);
}

std::pair<size_t, size_t> RollingCheck::PickedBelow(const WideString& place) const {
    const ChecksumBook& book = lists_.Book();
    const WideString placeKey = FoldedKey(place);
    const WideString start = placeKey + L"\\";
    const auto first = std::lower_bound(picks_.begin(), picks_.end(), start,
                                        [&book](ChecksumBook::Number number, const WideString& key) {
                                            return FoldedKey(book.PathNumbered(number)) < key;
                                        });
    auto last = first;
    while (last != picks_.end() && IsBelow(FoldedKey(book.PathNumbered(*last)), placeKey)) ++last;
    return {static_cast<size_t>(first - picks_.begin()), static_cast<size_t>(last - picks_.begin())};
}

void RollingCheck::ReadAhead(const WideString& place) {
    // Already read, or being read, for this place.
    if (!place.empty() && place == aheadPlace_) return;
    AwaitReads();
    readAhead_.clear();
    aheadPlace_ = place;
    if (place.empty()) return;
    const std::pair<size_t, size_t> range = PickedBelow(place);
    if (range.first == range.second) return;
    readAheadFirst_ = range.first;
    readAhead_.resize(range.second - range.first);
    // What the thread reads and what it compares with, taken now: the
    // lists may change while it reads (the check of the folder before).
    // The paths lie one after the other in UTF-8, a few bytes a pick: a
    // share of 100,000 files would otherwise hold megabytes of paths.
    std::string paths;
    std::vector<size_t> ends;
    ends.reserve(readAhead_.size());
    const ChecksumBook& book = lists_.Book();
    for (size_t i = range.first; i < range.second; ++i) {
        const WideString relative = book.PathNumbered(picks_[i]);
        const std::optional<ChecksumRecord> record = book.Find(relative);
        EarlyRead& early = readAhead_[i - range.first];
        early.digest = record ? record->digest : Digest{};
        early.bytes = record ? record->size : 0;
        const ByteVector utf8 = ToUtf8(relative);
        paths.append(utf8.begin(), utf8.end());
        ends.push_back(paths.size());
    }
    try {
        reader_ = std::thread([this, paths = std::move(paths), ends = std::move(ends)] {
            FileReader reader;
            size_t start = 0;
            for (size_t i = 0; i < ends.size(); ++i) {
                const WideString path = JoinPath(computerFolder_, FromUtf8(paths.substr(start, ends[i] - start)));
                start = ends[i];
                const FileDigest got = reader.Digest(path, ReadFrom::Device);
                EarlyRead& early = readAhead_[i];
                early.size = got.size;
                early.lastWrite = got.lastWrite;
                early.matched = got.read && got.bytes == early.bytes && got.digest == early.digest;
            }
        });
    } catch (const std::system_error&) {
        readAhead_.clear();  // no thread to be had: Judge reads them itself
    }
}

void RollingCheck::AwaitReads() {
    if (reader_.joinable()) reader_.join();
}

FileDigest RollingCheck::ReadTwice(const WideString& backupPath, const ChecksumRecord& record,
                                   const FileDigest* readAhead) const {
    const FileDigest first = readAhead != nullptr ? *readAhead : DigestOfFile(backupPath, ReadFrom::Device);
    if (first.read && first.bytes == record.size && first.digest == record.digest) return first;
    // One failed or odd read does not condemn a copy: it is read once more.
    return DigestOfFile(backupPath, ReadFrom::Device);
}

bool RollingCheck::TakeReadAhead(size_t index, const ChecksumRecord& record, FileDigest* early) const {
    const size_t ahead = index - readAheadFirst_;
    // It counts only while the line still holds the bytes it found.
    if (index < readAheadFirst_ || ahead >= readAhead_.size() || !readAhead_[ahead].matched ||
        readAhead_[ahead].digest != record.digest || readAhead_[ahead].bytes != record.size) {
        return false;
    }
    // The open file said its size and time: one lookup of the path, not two.
    early->read = early->opened = true;
    early->digest = record.digest;
    early->bytes = record.size;
    early->size = early->sizeAfter = readAhead_[ahead].size;
    early->lastWrite = early->lastWriteAfter = readAhead_[ahead].lastWrite;
    return true;
}

std::vector<RollingFinding> RollingCheck::Judge(PlannedFolder* folder, const WideString& place,
                                                uint64_t clusterBytes, bool* readNow) {
    std::vector<RollingFinding> findings;
    *readNow = false;
    if (place.empty()) return findings;
    AwaitReads();
    const std::pair<size_t, size_t> range = PickedBelow(place);
    for (size_t index = range.first; index < range.second; ++index) {
        handled_[index] = true;
        const std::optional<ChecksumRecord> found = lists_.Book().Find(lists_.Book().PathNumbered(picks_[index]));
        if (!found) continue;
        const ChecksumRecord record = *found;
        const WideString relative = record.relative.substr(place.size() + 1);
        const WideString backupPath = JoinPath(computerFolder_, record.relative);
        const WideString sourcePath = JoinPath(folder->source, relative);
        FileDigest early;
        const bool readAhead = TakeReadAhead(index, record, &early);
        *readNow = *readNow || !readAhead;
        const FileDigest readBack = ReadTwice(backupPath, record, readAhead ? &early : nullptr);
        const FileFacts backup =
            readBack.opened ? FileFacts{true, readBack.size, readBack.lastWrite} : FactsOf(backupPath);
        const bool sound = KeptCopyStateOf(record, backup, readBack, FileFacts()) == KeptCopyState::Sound;
        const FileFacts source = sound ? FileFacts() : FactsOf(sourcePath);
        const KeptCopyState state = sound ? KeptCopyState::Sound : KeptCopyStateOf(record, backup, readBack, source);
        if (state == KeptCopyState::Stale) continue;
        ++totals_.files;
        totals_.bytes += record.size;
        if (state == KeptCopyState::Sound) {
            lists_.Checked(record);
            continue;
        }
        ++totals_.changed;
        if (state == KeptCopyState::Damaged) {
            ++totals_.damaged;
            findings.push_back({RollingFinding::Kind::SourceGone, backupPath, WideString()});
            continue;
        }
        // The copy could not replace it now: it stays, named, until a run can.
        const WideString problem = ReadProblemOf(sourcePath);
        if (!problem.empty()) {
            ++totals_.damaged;
            findings.push_back({RollingFinding::Kind::SourceUnreadable, backupPath, problem});
            continue;
        }
        const bool upToDate = source.size == backup.size && ::SameTime(policy_, source.lastWrite, backup.lastWrite);
        if (upToDate) CountAsToCopy(folder, relative, backup, clusterBytes);
        lists_.Suspect(record);
        suspects_.push_back({record, sourcePath, false});
    }
    return findings;
}

std::vector<SuspectOutcome> RollingCheck::Settle(const WideString& place) {
    std::vector<SuspectOutcome> outcomes;
    const WideString placeKey = ToLowerText(place);
    const ChecksumBook& book = lists_.Book();
    for (Suspect& suspect : suspects_) {
        if (suspect.settled || !IsBelow(ToLowerText(suspect.recorded.relative), placeKey)) continue;
        // Not moved, or back in the backup: it was not replaced (said at the end).
        const WideString setPath = lists_.KeptAt(suspect.recorded.relative);
        if (setPath.empty() || !FactsOf(setPath).exists) continue;
        suspect.settled = true;
        lists_.Settle(suspect.recorded.relative);
        const std::optional<ChecksumRecord> replaced = book.Find(suspect.recorded.relative);
        const bool checked = replaced && replaced->checkedRun == book.Run();
        if (checked && replaced->digest == suspect.recorded.digest && RemoveBackupFile(setPath).empty()) {
            // The source still has the recorded bytes: the stick's copy decayed.
            RemoveEmptyFoldersUpTo(ParentPath(setPath), versionsFolder_);
            outcomes.push_back({true, suspect.source, WideString(), suspect.recorded.relative});
            continue;
        }
        outcomes.push_back({false, suspect.source, setPath, suspect.recorded.relative});
    }
    return outcomes;
}

std::vector<LeftoverFinding> RollingCheck::ReadUnjudged() {
    AwaitReads();
    std::vector<LeftoverFinding> findings;
    ChecksumBook& book = lists_.Book();
    for (size_t i = 0; i < picks_.size(); ++i) {
        if (handled_[i]) continue;
        const std::optional<ChecksumRecord> found = book.Find(book.PathNumbered(picks_[i]));
        if (!found) continue;
        const ChecksumRecord record = *found;
        const WideString backupPath = JoinPath(computerFolder_, record.relative);
        const FileDigest readBack = ReadTwice(backupPath, record);
        if (!readBack.opened && !FactsOf(backupPath).exists) {
            book.Remove(record.relative);  // no longer on the stick
            continue;
        }
        ++totals_.files;
        totals_.bytes += record.size;
        if (readBack.read && readBack.bytes == record.size && readBack.digest == record.digest) {
            lists_.Checked(record);
            continue;
        }
        // No source to compare with: only its line says what it should hold.
        ++totals_.changed;
        ++totals_.damaged;
        findings.push_back({LeftoverFinding::Kind::DamagedRecorded, backupPath});
    }
    return findings;
}

std::vector<LeftoverFinding> RollingCheck::NameUnreplaced() {
    std::vector<LeftoverFinding> findings;
    for (Suspect& suspect : suspects_) {
        if (suspect.settled) continue;
        suspect.settled = true;
        lists_.Settle(suspect.recorded.relative);
        ++totals_.damaged;
        findings.push_back({LeftoverFinding::Kind::NotReplaced, JoinPath(computerFolder_, suspect.recorded.relative)});
    }
    return findings;
}

#include "verify/checksum_book.h"

#include <algorithm>
#include <sstream>

#include "plan/tree_compare.h"
#include "script/text_files.h"
#include "text/case_text.h"

namespace {

const uint64_t kSmallBackupBytes = 256ull << 20;
// Both lists' lines for one file, with a long path: a generous estimate.
const uint64_t kListBytesPerFile = 512;

WideString Key(const WideString& relative) { return ToLowerText(relative); }

std::string ListPath(const WideString& relative) {
    WideString slashed = relative;
    std::replace(slashed.begin(), slashed.end(), L'\\', L'/');
    const ByteVector bytes = ToUtf8(slashed);
    return std::string(bytes.begin(), bytes.end());
}

WideString PathFromList(const std::string& text) {
    WideString relative = FromUtf8(text);
    std::replace(relative.begin(), relative.end(), L'/', L'\\');
    return relative;
}

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    std::string line;
    while (std::getline(stream, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

bool ReadNumber(const std::string& text, uint64_t* value) {
    if (text.empty() || text.size() > 19) return false;
    uint64_t n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        n = n * 10 + static_cast<uint64_t>(c - '0');
    }
    *value = n;
    return true;
}

}  // namespace

bool IsRecordPathBelow(const WideString& relative) {
    if (relative.empty()) return false;
    size_t start = 0;
    for (;;) {
        const size_t end = relative.find(L'\\', start);
        const WideString name = relative.substr(start, end == WideString::npos ? WideString::npos : end - start);
        if (name.empty() || name == L"." || name == L".." || name.find(L':') != WideString::npos) return false;
        if (end == WideString::npos) return true;
        start = end + 1;
    }
}

const ChecksumRecord* ChecksumBook::Find(const WideString& relative) const {
    const auto found = records_.find(Key(relative));
    return found == records_.end() ? nullptr : &found->second;
}

void ChecksumBook::Put(const ChecksumRecord& record) { records_[Key(record.relative)] = record; }

void ChecksumBook::Remove(const WideString& relative) { records_.erase(Key(relative)); }

void ChecksumBook::MarkSeen(const WideString& relative) {
    const auto found = records_.find(Key(relative));
    if (found != records_.end()) found->second.seen = true;
}

void ChecksumBook::DropUnseenBelow(const WideString& folder,
                                   const std::function<bool(const ChecksumRecord&)>& stillThere) {
    const WideString prefix = Key(folder) + L"\\";
    for (auto it = records_.begin(); it != records_.end();) {
        const bool below = it->first.compare(0, prefix.size(), prefix) == 0;
        it = below && !it->second.seen && !stillThere(it->second) ? records_.erase(it) : std::next(it);
    }
}

uint64_t ChecksumBook::Bytes() const {
    uint64_t bytes = 0;
    for (const auto& entry : records_) bytes += entry.second.size;
    return bytes;
}

std::vector<const ChecksumRecord*> ChecksumBook::Sorted() const {
    std::vector<std::pair<const WideString*, const ChecksumRecord*>> keyed;
    keyed.reserve(records_.size());
    for (const auto& entry : records_) keyed.emplace_back(&entry.first, &entry.second);
    std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return *a.first < *b.first; });
    std::vector<const ChecksumRecord*> sorted;
    sorted.reserve(keyed.size());
    for (const auto& entry : keyed) sorted.push_back(entry.second);
    return sorted;
}

std::string ChecksumLine(const Digest& digest, const WideString& relative) {
    const ByteVector hex = ToUtf8(DigestHex(digest));
    return std::string(hex.begin(), hex.end()) + "  " + ListPath(relative);
}

std::string RunsLine(const ChecksumRecord& record) {
    return std::to_string(record.size) + " " + std::to_string(record.lastWrite) + " " +
           std::to_string(record.checkedRun) + " " + ListPath(record.relative);
}

std::string ChecksumListText(const ChecksumBook& book) {
    std::string text;
    for (const ChecksumRecord* record : book.Sorted()) text += ChecksumLine(record->digest, record->relative) + "\n";
    return text;
}

std::string RunsListText(const ChecksumBook& book) {
    std::string text = "run " + std::to_string(book.Run()) + "\n";
    for (const ChecksumRecord* record : book.Sorted()) text += RunsLine(*record) + "\n";
    return text;
}

std::string ChecksumListText(const std::vector<ChecksumRecord>& records) {
    std::string text;
    for (const ChecksumRecord& record : records) text += ChecksumLine(record.digest, record.relative) + "\n";
    return text;
}

ChecksumBook BookFromLists(const std::string& checksums, const std::string& runs) {
    std::unordered_map<WideString, ChecksumRecord> digests;
    for (const std::string& line : LinesOf(checksums)) {
        ChecksumRecord record;
        if (line.size() < 67 || line.compare(64, 2, "  ") != 0) continue;
        if (!DigestFromHex(FromUtf8(line.substr(0, 64)), &record.digest)) continue;
        record.relative = PathFromList(line.substr(66));
        if (!IsRecordPathBelow(record.relative)) continue;
        digests[Key(record.relative)] = record;
    }
    ChecksumBook book;
    uint64_t lastRun = 0;
    for (const std::string& line : LinesOf(runs)) {
        if (line.compare(0, 4, "run ") == 0) {
            ReadNumber(line.substr(4), &lastRun);
            continue;
        }
        const size_t first = line.find(' ');
        const size_t second = first == std::string::npos ? first : line.find(' ', first + 1);
        const size_t third = second == std::string::npos ? second : line.find(' ', second + 1);
        if (third == std::string::npos) continue;
        uint64_t size = 0;
        uint64_t time = 0;
        uint64_t run = 0;
        if (!ReadNumber(line.substr(0, first), &size) || !ReadNumber(line.substr(first + 1, second - first - 1), &time) ||
            !ReadNumber(line.substr(second + 1, third - second - 1), &run)) {
            continue;
        }
        const auto found = digests.find(Key(PathFromList(line.substr(third + 1))));
        if (found == digests.end()) continue;
        ChecksumRecord record = found->second;
        record.size = size;
        record.lastWrite = static_cast<int64_t>(time);
        record.checkedRun = run;
        book.Put(record);
    }
    book.SetRun(lastRun + 1);
    return book;
}

uint64_t RollingBudget(uint64_t backupBytes) {
    if (backupBytes < kSmallBackupBytes) return backupBytes;
    return backupBytes / 8 + (backupBytes % 8 != 0 ? 1 : 0);
}

std::vector<WideString> RollingSelection(const ChecksumBook& book, uint64_t budget) {
    std::vector<const ChecksumRecord*> records = book.Sorted();
    std::stable_sort(records.begin(), records.end(), [](const ChecksumRecord* a, const ChecksumRecord* b) {
        return a->checkedRun < b->checkedRun;
    });
    std::vector<WideString> selected;
    uint64_t taken = 0;
    for (const ChecksumRecord* record : records) {
        if (taken >= budget) break;
        selected.push_back(record->relative);
        taken += record->size;
    }
    return selected;
}

uint64_t ChecksumListsNeed(uint64_t recordedFiles, uint64_t newFiles, uint64_t clusterBytes) {
    return RoundUpToCluster((recordedFiles + newFiles) * kListBytesPerFile, clusterBytes);
}

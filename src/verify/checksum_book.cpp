#include "verify/checksum_book.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "plan/tree_compare.h"
#include "script/text_files.h"
#include "text/case_text.h"

namespace {

// Both lists' lines for one file, with a long path: a generous estimate.
const uint64_t kListBytesPerFile = 512;

WideString KeyOf(const WideString& relative) { return FoldedKey(relative); }

size_t HashOf(const WideString& key) {
    uint64_t hash = 1469598103934665603ull;
    for (const wchar_t c : key) {
        hash ^= static_cast<uint64_t>(c);
        hash *= 1099511628211ull;
    }
    return static_cast<size_t>(hash ^ (hash >> 29));
}

bool FoldsPlainly(const WideString& text) {
    for (const wchar_t c : text) {
        if (!FoldsWithoutLocale(c)) return false;
    }
    return true;
}

// The key of a stored path that folds without the locale, read where it
// lies: its UTF-16 units one at a time, A to Z lowered. No path is made,
// which sorting and looking up Japanese names would pay for each time.
class PlainKeyUnits {
public:
    PlainKeyUnits(const char* text, uint32_t bytes)
        : next_(reinterpret_cast<const unsigned char*>(text)), end_(next_ + bytes) {}

    bool Next(wchar_t* unit) {
        if (low_ != 0) {
            *unit = low_;
            low_ = 0;
            return true;
        }
        if (next_ == end_) return false;
        uint32_t c = *next_++;
        if (c >= 0x80) {
            const int more = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : 1;
            c &= more == 3 ? 0x07u : more == 2 ? 0x0Fu : 0x1Fu;
            for (int i = 0; i < more && next_ != end_; ++i) c = (c << 6) | (*next_++ & 0x3Fu);
        } else if (c >= 'A' && c <= 'Z') {
            c += 'a' - 'A';
        }
        if (c >= 0x10000) {
            c -= 0x10000;
            low_ = static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
            c = 0xD800 + (c >> 10);
        }
        *unit = static_cast<wchar_t>(c);
        return true;
    }

private:
    const unsigned char* next_;
    const unsigned char* end_;
    wchar_t low_ = 0;
};

}  // namespace

WideString ChecksumBook::PathOf(const Slot& slot) const { return FromUtf8(std::string(paths_.At(slot.pathStart))); }

size_t ChecksumBook::PathBytesOf(const Slot& slot) const { return std::strlen(paths_.At(slot.pathStart)); }

ChecksumRecord ChecksumBook::RecordOf(const Slot& slot) const {
    ChecksumRecord record;
    record.relative = PathOf(slot);
    record.digest = slot.digest;
    record.size = slot.size;
    record.lastWrite = slot.lastWrite;
    record.checkedRun = slot.checkedRun;
    record.seen = slot.seen;
    return record;
}

size_t ChecksumBook::Locate(const WideString& key) const {
    if (table_.empty()) return 0;
    const size_t mask = table_.size() - 1;
    for (size_t position = HashOf(key) & mask;; position = (position + 1) & mask) {
        const uint32_t entry = table_[position];
        if (entry == kEmpty) return table_.size();
        if (entry == kRemoved) continue;
        const Slot& slot = slots_[entry - 1];
        if (slot.plainKey ? KeyStartsWith(slot, key, true) : KeyOf(PathOf(slot)) == key) return position;
    }
}

bool ChecksumBook::KeyStartsWith(const Slot& slot, const WideString& key, bool whole) const {
    PlainKeyUnits units(paths_.At(slot.pathStart), PathBytesOf(slot));
    wchar_t unit = 0;
    for (const wchar_t wanted : key) {
        if (!units.Next(&unit) || unit != wanted) return false;
    }
    return !whole || !units.Next(&unit);
}

size_t ChecksumBook::HashOfSlot(const Slot& slot) const {
    if (!slot.plainKey) return HashOf(KeyOf(PathOf(slot)));
    uint64_t hash = 1469598103934665603ull;
    PlainKeyUnits units(paths_.At(slot.pathStart), PathBytesOf(slot));
    wchar_t unit = 0;
    while (units.Next(&unit)) {
        hash ^= static_cast<uint64_t>(unit);
        hash *= 1099511628211ull;
    }
    return static_cast<size_t>(hash ^ (hash >> 29));
}

void ChecksumBook::Grow() {
    std::vector<uint32_t> old;
    old.swap(table_);
    table_.assign(std::max<size_t>(64, old.size() * 2), kEmpty);
    used_ = 0;
    const size_t mask = table_.size() - 1;
    for (const uint32_t entry : old) {
        if (entry == kEmpty || entry == kRemoved) continue;
        size_t position = HashOfSlot(slots_[entry - 1]) & mask;
        while (table_[position] != kEmpty) position = (position + 1) & mask;
        table_[position] = entry;
        ++used_;
    }
}

std::optional<ChecksumRecord> ChecksumBook::Find(const WideString& relative) const {
    const size_t position = Locate(KeyOf(relative));
    if (position == table_.size()) return std::nullopt;
    return RecordOf(slots_[table_[position] - 1]);
}

void ChecksumBook::Put(const ChecksumRecord& record) {
    // A path ends at its NUL where the book keeps it: one that holds a NUL names no file.
    if (record.relative.find(L'\0') != WideString::npos) return;
    const WideString key = KeyOf(record.relative);
    size_t position = Locate(key);
    Slot* slot = nullptr;
    if (position != table_.size()) {
        slot = &slots_[table_[position] - 1];
        bytes_ -= slot->size;
    } else {
        if ((used_ + 1) * 2 > table_.size()) Grow();
        const size_t mask = table_.size() - 1;
        position = HashOf(key) & mask;
        while (table_[position] != kEmpty && table_[position] != kRemoved) position = (position + 1) & mask;
        if (table_[position] == kEmpty) ++used_;
        slot = &slots_.emplace_back();
        table_[position] = static_cast<uint32_t>(slots_.size());
        slot->live = true;
        ++live_;
        sortedValid_ = false;
    }
    const ByteVector utf8 = ToUtf8(record.relative);
    const std::string path(utf8.begin(), utf8.end());
    if (path != paths_.At(slot->pathStart)) {
        slot->pathStart = paths_.Add(path);
        slot->plainKey = FoldsPlainly(record.relative);
        sortedValid_ = false;
    }
    slot->digest = record.digest;
    slot->size = record.size;
    slot->lastWrite = record.lastWrite;
    slot->checkedRun = static_cast<uint32_t>(std::min<uint64_t>(record.checkedRun, kLastCheckedRun));
    slot->seen = record.seen;
    bytes_ += record.size;
}

void ChecksumBook::Remove(const WideString& relative) {
    const size_t position = Locate(KeyOf(relative));
    if (position == table_.size()) return;
    Slot& slot = slots_[table_[position] - 1];
    slot.live = false;
    bytes_ -= slot.size;
    --live_;
    table_[position] = kRemoved;
    sortedValid_ = false;
}

bool ChecksumBook::RecordedAs(const WideString& relative, uint64_t size, int64_t lastWrite) const {
    const size_t position = Locate(KeyOf(relative));
    if (position == table_.size()) return false;
    const Slot& slot = slots_[table_[position] - 1];
    return slot.size == size && slot.lastWrite == lastWrite;
}

bool ChecksumBook::SeenAsRecorded(const WideString& relative, uint64_t size, int64_t lastWrite) {
    const size_t position = Locate(KeyOf(relative));
    if (position == table_.size()) return false;
    Slot& slot = slots_[table_[position] - 1];
    if (slot.size != size || slot.lastWrite != lastWrite) return false;
    slot.seen = true;
    return true;
}

ChecksumBook::Seen ChecksumBook::SeeAs(const WideString& relative, uint64_t size, int64_t lastWrite) {
    const size_t position = Locate(KeyOf(relative));
    if (position == table_.size()) return Seen::Unrecorded;
    Slot& slot = slots_[table_[position] - 1];
    if (slot.size != size || slot.lastWrite != lastWrite) return Seen::Other;
    slot.seen = true;
    return Seen::AsRecorded;
}

void ChecksumBook::ForEachUnseenBelow(const WideString& folder,
                                      const std::function<void(const ChecksumRecord&)>& visit) const {
    const WideString prefix = KeyOf(folder) + L"\\";
    for (size_t i = 0; i < slots_.size(); ++i) {
        const Slot& slot = slots_[i];
        // A path below the folder is longer than it in UTF-8 bytes too.
        if (!slot.live || slot.seen || PathBytesOf(slot) <= prefix.size()) continue;
        // Most paths fold plainly: compared where they lie, no path made.
        const bool below = slot.plainKey ? KeyStartsWith(slot, prefix, false)
                                         : KeyOf(PathOf(slot)).compare(0, prefix.size(), prefix) == 0;
        if (below) visit(RecordOf(slot));
    }
}

bool ChecksumBook::SetRunsLine(const WideString& relative, uint64_t size, int64_t lastWrite, uint64_t run) {
    const size_t position = Locate(KeyOf(relative));
    if (position == table_.size()) return false;
    Slot& slot = slots_[table_[position] - 1];
    bytes_ = bytes_ - slot.size + size;
    slot.size = size;
    slot.lastWrite = lastWrite;
    slot.checkedRun = static_cast<uint32_t>(std::min<uint64_t>(run, kLastCheckedRun));
    slot.seen = true;  // both lists name it
    return true;
}

void ChecksumBook::MarkSeen(const WideString& relative) {
    const size_t position = Locate(KeyOf(relative));
    if (position != table_.size()) slots_[table_[position] - 1].seen = true;
}

void ChecksumBook::DropUnseenBelow(const StringList& folders,
                                   const std::function<bool(const ChecksumRecord&)>& stillThere) {
    StringList prefixes;
    for (const WideString& folder : folders) prefixes.push_back(KeyOf(folder) + L"\\");
    for (size_t i = 0; i < slots_.size(); ++i) {
        if (!slots_[i].live || slots_[i].seen) continue;
        const ChecksumRecord record = RecordOf(slots_[i]);
        const WideString key = KeyOf(record.relative);
        const bool below = std::any_of(prefixes.begin(), prefixes.end(), [&](const WideString& prefix) {
            return key.compare(0, prefix.size(), prefix) == 0;
        });
        if (below && !stillThere(record)) Remove(record.relative);
    }
}

void ChecksumBook::KeepSeenOnly() {
    for (size_t i = 0; i < slots_.size(); ++i) {
        if (!slots_[i].live) continue;
        if (slots_[i].seen) {
            slots_[i].seen = false;
            continue;
        }
        Remove(PathOf(slots_[i]));
    }
}

const std::vector<uint32_t>& ChecksumBook::SortedSlots() const {
    if (sortedValid_) return sorted_;
    std::vector<uint32_t>& order = sorted_;
    order.clear();
    order.reserve(live_);
    for (uint32_t i = 0; i < slots_.size(); ++i) {
        if (slots_[i].live) order.push_back(i);
    }
    auto less = [this](uint32_t a, uint32_t b) {
        const Slot& left = slots_[a];
        const Slot& right = slots_[b];
        if (!left.plainKey || !right.plainKey) return KeyOf(PathOf(left)) < KeyOf(PathOf(right));
        // A plain path has no surrogates: the order of its UTF-8 bytes, A
        // to Z lowered, is the order of its key's UTF-16 units.
        const unsigned char* l = reinterpret_cast<const unsigned char*>(paths_.At(left.pathStart));
        const unsigned char* r = reinterpret_cast<const unsigned char*>(paths_.At(right.pathStart));
        // The NUL that ends the shorter path comes before any byte.
        for (size_t i = 0;; ++i) {
            const unsigned char x = l[i] >= 'A' && l[i] <= 'Z' ? static_cast<unsigned char>(l[i] + 32) : l[i];
            const unsigned char y = r[i] >= 'A' && r[i] <= 'Z' ? static_cast<unsigned char>(r[i] + 32) : r[i];
            if (x != y) return x < y;
            if (x == 0) return false;
        }
    };
    // Lists are written in path order, so a book just read is in it already.
    if (!std::is_sorted(order.begin(), order.end(), less)) std::sort(order.begin(), order.end(), less);
    sortedValid_ = true;
    return order;
}

void ChecksumBook::ForEachListLine(bool runs, const std::function<void(const std::string& line)>& write) const {
    static const char kHex[] = "0123456789abcdef";
    std::string line;
    for (const uint32_t index : SortedSlots()) {
        const Slot& slot = slots_[index];
        line.clear();
        if (runs) {
            line += std::to_string(slot.size);
            line += ' ';
            line += std::to_string(slot.lastWrite);
            line += ' ';
            line += std::to_string(slot.checkedRun);
            line += ' ';
        } else {
            for (const uint8_t byte : slot.digest) {
                line += kHex[byte >> 4];
                line += kHex[byte & 15];
            }
            line += "  ";
        }
        const size_t start = line.size();
        line.append(paths_.At(slot.pathStart));
        std::replace(line.begin() + static_cast<std::ptrdiff_t>(start), line.end(), '\\', '/');
        line += '\n';
        write(line);
    }
}

void ChecksumBook::ForEachSorted(const std::function<void(const ChecksumRecord&)>& visit) const {
    for (const uint32_t index : SortedSlots()) visit(RecordOf(slots_[index]));
}

std::vector<WideString> ChecksumBook::OldestFirst(uint64_t minFiles, uint64_t minBytes) const {
    std::vector<Number> numbers = OldestFirstNumbers(minFiles, minBytes);
    std::stable_sort(numbers.begin(), numbers.end(),
                     [this](Number a, Number b) { return slots_[a].checkedRun < slots_[b].checkedRun; });
    std::vector<WideString> selected;
    for (const Number number : numbers) selected.push_back(PathOf(slots_[number]));
    return selected;
}

std::vector<ChecksumBook::Number> ChecksumBook::OldestFirstNumbers(uint64_t minFiles, uint64_t minBytes) const {
    // Oldest run first, then path order. Once the bytes' share is taken,
    // the files' share is made up of files that keep the bytes within a
    // quarter more than their share: large files read together in one run
    // come due apart, and no run reads much more than its share. Where too
    // few files fit, the files' share falls short. Every file is still read
    // within eight runs: each run reads its bytes' share from the oldest
    // files first.
    const std::vector<uint32_t>& byPath = SortedSlots();
    std::vector<uint32_t> order(byPath.begin(), byPath.end());
    std::stable_sort(order.begin(), order.end(),
                     [this](uint32_t a, uint32_t b) { return slots_[a].checkedRun < slots_[b].checkedRun; });
    const uint64_t cap = minBytes + minBytes / 4;
    std::vector<bool> taken(slots_.size(), false);
    uint64_t files = 0;
    uint64_t bytes = 0;
    for (const uint32_t index : order) {
        if (files >= minFiles && bytes >= minBytes) break;
        const uint64_t size = slots_[index].size;
        if (bytes >= minBytes && bytes + size > cap) continue;
        taken[index] = true;
        ++files;
        bytes += size;
    }
    std::vector<Number> selected;
    for (const uint32_t index : byPath) {
        if (taken[index]) selected.push_back(index);
    }
    return selected;
}

WideString ChecksumBook::PathNumbered(Number number) const {
    return number < slots_.size() ? PathOf(slots_[number]) : WideString();
}

bool ChecksumBook::HoldsBytes(Number number, const Digest& digest, uint64_t bytes) const {
    return number < slots_.size() && slots_[number].size == bytes && slots_[number].digest == digest;
}

size_t ChecksumBook::MemoryBytes() const {
    return paths_.capacity() + slots_.capacity() * sizeof(Slot) +
           (table_.capacity() + sorted_.capacity()) * sizeof(uint32_t);
}

RollingShare RollingShareOf(uint64_t files, uint64_t bytes) {
    return {files / 8 + (files % 8 != 0 ? 1 : 0), bytes / 8 + (bytes % 8 != 0 ? 1 : 0)};
}

std::vector<WideString> RollingSelection(const ChecksumBook& book) {
    const RollingShare share = RollingShareOf(book.Size(), book.Bytes());
    return book.OldestFirst(share.files, share.bytes);
}

std::vector<ChecksumBook::Number> RollingNumbers(const ChecksumBook& book) {
    const RollingShare share = RollingShareOf(book.Size(), book.Bytes());
    return book.OldestFirstNumbers(share.files, share.bytes);
}

uint64_t ChecksumListsNeed(uint64_t recordedFiles, uint64_t newFiles, uint64_t clusterBytes) {
    return RoundUpToCluster((recordedFiles + newFiles) * kListBytesPerFile, clusterBytes);
}

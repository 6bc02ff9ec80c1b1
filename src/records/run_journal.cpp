#include "records/run_journal.h"

#include <iterator>
#include <utility>

#include "script/file_lines.h"
#include "script/text_files.h"
#include "verify/checksum_lines.h"

namespace {

const char kHead[] = "brisk run record 1";

bool ReadNumber(const std::string& text, uint64_t* value) {
    if (text.empty() || text.size() > 19) return false;
    uint64_t n = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
        n = n * 10 + static_cast<uint64_t>(c - '0');
    }
    *value = n;
    return true;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) return fields;
        start = tab + 1;
    }
}

// A path field read back, or false when it leaves the computer's folder.
bool PathField(const std::string& field, WideString* path) {
    *path = PathFromList(field);
    return IsRecordPathBelow(*path);
}

bool KeptFields(const std::vector<std::string>& fields, bool network, KeptEntry* kept) {
    uint64_t size = 0;
    uint64_t time = 0;
    if (fields.size() != 5 || !DigestFromHex(WideString(fields[1].begin(), fields[1].end()), &kept->digest) ||
        !ReadNumber(fields[2], &size) || !ReadNumber(fields[3], &time) || !PathField(fields[4], &kept->path)) {
        return false;
    }
    kept->size = size;
    kept->lastWrite = static_cast<int64_t>(time);
    kept->network = network;
    return true;
}

// Reads one line into the record; false when it does not read.
bool ReadLine(const std::string& line, RunJournal* journal, PendingEntries* pending, bool* started, bool withSums) {
    if (line.empty() || line[0] == '#') return true;
    const std::vector<std::string> fields = Fields(line);
    const std::string& word = fields[0];
    WideString path;
    if (word == "run") return fields.size() == 2 && ReadNumber(fields[1], &journal->run);
    if (word == "started" || word == "set") {
        if (fields.size() != 2) return false;
        (word == "set" ? journal->name : journal->started) = FromUtf8(fields[1]);
        return true;
    }
    if (word == "folder") {
        *pending = PendingEntries();
        *started = false;
        return fields.size() == 2;
    }
    if (word == "keep" || word == "keep-network") {
        KeptEntry kept;
        if (!KeptFields(fields, word == "keep-network", &kept)) return false;
        pending->kept.push_back(kept);
        return true;
    }
    if (word == "sum") {
        KeptEntry checked;
        if (!KeptFields(fields, false, &checked)) return false;
        if (withSums) journal->checked.push_back(checked);
        return true;
    }
    if (word == "start") {
        journal->kept.insert(journal->kept.end(), std::make_move_iterator(pending->kept.begin()),
                             std::make_move_iterator(pending->kept.end()));
        journal->added.insert(journal->added.end(), std::make_move_iterator(pending->added.begin()),
                              std::make_move_iterator(pending->added.end()));
        *pending = PendingEntries();
        *started = true;
        return fields.size() == 2;
    }
    if (word == "add" || word == "back" || word == "lost") {
        if (fields.size() != 2 || !PathField(fields[1], &path)) return false;
        if (word == "add" && !*started) {
            pending->added.push_back(path);
        } else {
            (word == "add" ? journal->added : word == "back" ? journal->returned : journal->lost).push_back(path);
        }
        return true;
    }
    if (word == "done") return fields.size() == 2;
    if (word == "end") {
        uint64_t status = 0;
        if (fields.size() != 3 || !ReadNumber(fields[2], &status)) return false;
        journal->closed = true;
        journal->result = FromUtf8(fields[1]);
        journal->exitStatus = static_cast<int>(status);
        return true;
    }
    return true;  // an entry of a later version: not this one's to read
}

// An entry's line: its word and fields apart by a TAB, ended by LF.
template <typename... Fields>
std::string Line(const char* word, const Fields&... fields) {
    std::string line = word;
    for (const std::string& field : {std::string(fields)...}) {
        line += '\t';
        line += field;
    }
    return line + '\n';
}

std::string Utf8(const WideString& text) {
    const ByteVector bytes = ToUtf8(text);
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

RunJournal ReadRunJournal(const std::string& text, bool withSums) {
    RunJournalReader reader(withSums);
    reader.Feed(text.data(), text.size());
    return reader.Finish();
}

RunJournalReader::RunJournalReader(bool withSums)
    : withSums_(withSums), cutter_([this](const std::string& line) { Read(line); }) {}

void RunJournalReader::Feed(const char* bytes, size_t size) {
    if (refused_) return;
    // The very first line is the head, as it stands: the cutter would pass
    // over blank or endless lines before it.
    while (first_ && size != 0) {
        const char c = *bytes++;
        --size;
        if (c != '\n') {
            head_ += c;
            // No head is this long (a byte-order mark and a CR besides).
            if (head_.size() <= sizeof(kHead) + 4) continue;
            refused_ = true;
            return;
        }
        if (head_.compare(0, 3, "\xEF\xBB\xBF") == 0) head_.erase(0, 3);
        if (!head_.empty() && head_.back() == '\r') head_.pop_back();
        first_ = false;
        refused_ = head_ != kHead;
        if (refused_) return;
    }
    cutter_.Feed(bytes, size);
}

void RunJournalReader::Read(const std::string& line) {
    if (!ReadLine(line, &journal_, &pending_, &started_, withSums_)) journal_.whole = false;
}

RunJournal RunJournalReader::Finish() {
    // A line longer than any entry's is one that does not read.
    if (cutter_.LongLinesLeftOut() != 0) journal_.whole = false;
    if (refused_) return RunJournal();
    journal_.readable = !first_ && journal_.run != 0;
    return std::move(journal_);
}

std::string JournalHead(uint64_t run, const WideString& started, const WideString& name) {
    return std::string(kHead) + "\n" + Line("run", std::to_string(run)) + Line("started", Utf8(started)) +
           Line("set", Utf8(name));
}

std::string JournalFolderLine(const WideString& place) { return Line("folder", ListPath(place)); }

std::string JournalKeptLine(const KeptEntry& kept) {
    return Line(kept.network ? "keep-network" : "keep", Utf8(DigestHex(kept.digest)), std::to_string(kept.size),
                std::to_string(kept.lastWrite), ListPath(kept.path));
}

std::string JournalCheckedLine(const KeptEntry& checked) {
    return Line("sum", Utf8(DigestHex(checked.digest)), std::to_string(checked.size),
                std::to_string(checked.lastWrite), ListPath(checked.path));
}

std::string JournalPathLine(const char* word, const WideString& path) { return Line(word, ListPath(path)); }

std::string JournalStartLine(const WideString& place) { return Line("start", ListPath(place)); }

std::string JournalDoneLine(const WideString& place) { return Line("done", ListPath(place)); }

std::string JournalEndLine(const WideString& result, int exitStatus) {
    return Line("end", Utf8(result), std::to_string(exitStatus));
}

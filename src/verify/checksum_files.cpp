#include "verify/checksum_files.h"

#include <functional>
#include <string>

#include "script/text_files.h"
#include "text/messages.h"
#include "verify/file_digest.h"

namespace {

void ForEachLine(const std::string& text, const std::function<void(const std::string&)>& each) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) each(line);
        start = end + 1;
    }
}

// The number the digits from start to end spell: 1 to 19 of them.
bool ReadNumberAt(const std::string& text, size_t start, size_t end, uint64_t* value) {
    if (end <= start || end - start > 19) return false;
    uint64_t n = 0;
    for (size_t i = start; i < end; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return false;
        n = n * 10 + static_cast<uint64_t>(c - '0');
    }
    *value = n;
    return true;
}

bool ReadNumber(const std::string& text, uint64_t* value) { return ReadNumberAt(text, 0, text.size(), value); }

// "run 12\nrecord 7\n": the book's run, and the last run record its lines
// hold (a line earlier versions do not read, and leave alone).
std::string RunsListHead(const ChecksumBook& book) {
    std::string head = "run " + std::to_string(book.Run()) + "\n";
    if (book.RecordedRun() != 0) head += "record " + std::to_string(book.RecordedRun()) + "\n";
    return head;
}

// The SHA-256 of bytes given a line at a time, hashed a piece at a time:
// one call of the system's hash per line would cost more than the lines.
class LinesDigest {
public:
    void Add(const std::string& line) {
        pending_ += line;
        if (pending_.size() >= kPiece) Flush();
    }
    bool Finish(Digest* digest) {
        Flush();
        return digest_.Finish(digest);
    }

private:
    static constexpr size_t kPiece = 64 * 1024;
    void Flush() {
        digest_.Add(pending_.data(), pending_.size());
        pending_.clear();
    }
    StreamDigest digest_;
    std::string pending_;
};

// Writes the list beside the old one, reads it back from the stick itself,
// and only then puts it in the old one's place.
WideString ReplaceAndReadBack(const WideString& path, const std::function<void(const ChunkWriter& write)>& produce) {
    StreamDigest written;
    return ReplaceFileWriting(
        path,
        [&](const ChunkWriter& write) {
            produce([&](const void* bytes, size_t size) {
                written.Add(bytes, size);
                write(bytes, size);
            });
        },
        [&](const WideString& temporary) {
            // What the list says is only as good as what the stick gives back.
            Digest expected{};
            // A small buffer: a list is read in pieces that cost no memory to speak of.
            FileReader reader(64 * 1024);
            const FileDigest back = reader.Digest(temporary, ReadFrom::Device);
            if (written.Finish(&expected) && back.read && back.bytes == written.Bytes() && back.digest == expected) {
                return WideString();
            }
            return back.read || back.problem.empty() ? Say(Message::DoesNotReadBack) : back.problem;
        });
}

}  // namespace

WideString ChecksumListOf(const WideString& computerFolder) { return computerFolder + L".sha256"; }

WideString RunsListOf(const WideString& computerFolder) { return computerFolder + L".sha256.runs"; }

WideString SetChecksumListOf(const WideString& setFolder) { return setFolder + L".sha256"; }

ChecksumBook LoadChecksumBook(const WideString& computerFolder, bool* whole, Digest* checksumListRead) {
    // Line by line: the lists are never held whole beside the book.
    ChecksumListsReader reader;
    StreamDigest bytes;
    const bool read = ForEachFileLine(
                          ChecksumListOf(computerFolder), [&](const std::string& line) { reader.ChecksumLine(line); },
                          [&](const char* piece, size_t size) { bytes.Add(piece, size); }) &&
                      ForEachFileLine(RunsListOf(computerFolder), [&](const std::string& line) { reader.RunsLine(line); });
    if (whole != nullptr) *whole = read;
    if (checksumListRead != nullptr && !bytes.Finish(checksumListRead)) *checksumListRead = Digest{};
    if (!read) return ChecksumBook();
    return reader.Finish();
}

// Whether the book's checksum list is, byte for byte, the one read.
bool ChecksumListIs(const ChecksumBook& book, const Digest& read) {
    LinesDigest lines;
    book.ForEachListLine(false, [&](const std::string& line) { lines.Add(line); });
    Digest made{};
    return lines.Finish(&made) && made == read;
}

WideString SaveChecksumBook(const ChecksumBook& book, const WideString& computerFolder,
                            const Digest* checksumListRead) {
    // The checksums first: with the runs list of before, a file whose line
    // changed has sizes that no longer match and is read back again, never
    // taken for damaged. Each is written a line at a time.
    const bool unchanged = checksumListRead != nullptr && book.Size() != 0 && ChecksumListIs(book, *checksumListRead);
    WideString problem = unchanged ? WideString() : ReplaceAndReadBack(ChecksumListOf(computerFolder), [&](const ChunkWriter& write) {
        book.ForEachListLine(false, [&](const std::string& line) { write(line.data(), line.size()); });
    });
    if (!problem.empty()) return problem;
    return ReplaceAndReadBack(RunsListOf(computerFolder), [&](const ChunkWriter& write) {
        const std::string head = RunsListHead(book);
        write(head.data(), head.size());
        book.ForEachListLine(true, [&](const std::string& line) { write(line.data(), line.size()); });
    });
}

WideString SaveSetChecksums(const std::vector<ChecksumRecord>& records, const WideString& setFolder) {
    const std::string text = ChecksumListText(records);
    return ReplaceAndReadBack(SetChecksumListOf(setFolder),
                              [&](const ChunkWriter& write) { write(text.data(), text.size()); });
}

std::string RunsLine(const ChecksumRecord& record) {
    return std::to_string(record.size) + " " + std::to_string(record.lastWrite) + " " +
           std::to_string(record.checkedRun) + " " + ListPath(record.relative);
}

std::string ChecksumListText(const ChecksumBook& book) {
    std::string text;
    book.ForEachListLine(false, [&](const std::string& line) { text += line; });
    return text;
}

std::string RunsListText(const ChecksumBook& book) {
    std::string text = RunsListHead(book);
    book.ForEachListLine(true, [&](const std::string& line) { text += line; });
    return text;
}

std::string ChecksumListText(const std::vector<ChecksumRecord>& records) {
    std::string text;
    for (const ChecksumRecord& record : records) text += ChecksumLine(record.digest, record.relative) + "\n";
    return text;
}

void ChecksumListsReader::ChecksumLine(const std::string& line) {
    ChecksumRecord record;
    if (!ReadChecksumLine(line, &record.digest, &record.relative)) return;
    book_.Put(record);  // not seen: no runs line yet
}

void ChecksumListsReader::RunsLine(const std::string& line) {
    if (line.compare(0, 4, "run ") == 0) {
        ReadNumber(line.substr(4), &lastRun_);
        return;
    }
    if (line.compare(0, 7, "record ") == 0) {
        uint64_t recorded = 0;
        if (ReadNumber(line.substr(7), &recorded)) book_.SetRecordedRun(recorded);
        return;
    }
    const size_t first = line.find(' ');
    const size_t second = first == std::string::npos ? first : line.find(' ', first + 1);
    const size_t third = second == std::string::npos ? second : line.find(' ', second + 1);
    if (third == std::string::npos) return;
    uint64_t size = 0;
    uint64_t time = 0;
    uint64_t run = 0;
    if (!ReadNumberAt(line, 0, first, &size) || !ReadNumberAt(line, first + 1, second, &time) ||
        !ReadNumberAt(line, second + 1, third, &run)) {
        return;
    }
    book_.SetRunsLine(PathFromList(line.substr(third + 1)), size, static_cast<int64_t>(time), run);
}

ChecksumBook ChecksumListsReader::Finish() {
    book_.KeepSeenOnly();
    book_.SetRun(lastRun_ + 1);
    return std::move(book_);
}

ChecksumBook BookFromLists(const std::string& checksums, const std::string& runs) {
    ChecksumListsReader reader;
    ForEachLine(checksums, [&](const std::string& line) { reader.ChecksumLine(line); });
    ForEachLine(runs, [&](const std::string& line) { reader.RunsLine(line); });
    return reader.Finish();
}

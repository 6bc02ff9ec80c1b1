#include "records/run_journal_file.h"

#include <algorithm>

#include "common/scoped_handle.h"
#include "common/windows_headers.h"
#include "plan/versions.h"
#include "script/text_files.h"
#include "text/canonical_path.h"
#include "text/case_text.h"
#include "text/messages.h"
#include "text/path_text.h"
#include "text/system_error.h"
#include "walk/tree_walk.h"

namespace {

const wchar_t kRecordEnding[] = L".run.txt";
const DWORD kSectorBytes = 4096;  // a multiple of every sector size
const DWORD kReadBackBytes = 1 << 20;
const LONGLONG kLargestRecord = 1LL << 30;
// A program that holds a record for a moment (a virus scanner) is waited for.
const int kBusyTries = 8;
const DWORD kBusyPauseMs = 250;

// A page-aligned buffer for reads past the cache.
class AlignedBuffer {
public:
    explicit AlignedBuffer(size_t bytes)
        : data_(VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
    ~AlignedBuffer() {
        if (data_ != nullptr) VirtualFree(data_, 0, MEM_RELEASE);
    }
    AlignedBuffer(const AlignedBuffer&) = delete;
    AlignedBuffer& operator=(const AlignedBuffer&) = delete;
    char* Data() const { return static_cast<char*>(data_); }

private:
    void* data_;
};

WideString WriteAtEnd(const WideString& path, DWORD disposition, const std::string& lines) {
    const ScopedFileHandle file(CreateFileW(LongPathForm(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                            disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return SystemReason(GetLastError());
    DWORD written = 0;
    if (!WriteFile(file.Get(), lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr) ||
        written != lines.size() || !FlushFileBuffers(file.Get())) {
        return SystemReason(GetLastError());
    }
    return WideString();
}

}  // namespace

bool ReadRunJournalHead(const WideString& path, RunJournal* journal) {
    std::string head;
    const ScopedFileHandle file(CreateFileW(LongPathForm(path).c_str(), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return false;
    char bytes[4096];
    DWORD got = 0;
    if (!ReadFile(file.Get(), bytes, sizeof bytes, &got, nullptr)) return false;
    SetLastError(ERROR_SUCCESS);
    head.assign(bytes, got);
    // Only whole lines: the entries past the head are not read here.
    head.erase(head.rfind('\n') == std::string::npos ? 0 : head.rfind('\n') + 1);
    *journal = ReadRunJournal(head);
    return journal->readable;
}

WideString RunJournalOf(const WideString& setFolder) { return setFolder + kRecordEnding; }

WideString SetNameOfRunJournal(const WideString& fileName) {
    const size_t ending = sizeof(kRecordEnding) / sizeof(wchar_t) - 1;
    if (fileName.size() <= ending || ToLowerText(fileName.substr(fileName.size() - ending)) != kRecordEnding) {
        return WideString();
    }
    const WideString name = fileName.substr(0, fileName.size() - ending);
    return IsVersionSetName(name) ? name : WideString();
}

bool ReadRunJournalFile(const WideString& path, RunJournal* journal, bool withSums) {
    const ScopedFileHandle file(CreateFileW(LongPathForm(path).c_str(), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size;
    // A record of a run is lines of paths: one that is this large is none.
    if (!file.Valid() || !GetFileSizeEx(file.Get(), &size) || size.QuadPart > kLargestRecord) return false;
    // Read a piece at a time: a first backup's record has a line for every file.
    RunJournalReader reader(withSums);
    std::string piece(1 << 20, '\0');
    uint64_t done = 0;
    while (done < static_cast<uint64_t>(size.QuadPart)) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<uint64_t>(size.QuadPart - done, piece.size()));
        if (!ReadFile(file.Get(), &piece[0], want, &got, nullptr) || got == 0) return false;
        reader.Feed(piece.data(), got);
        done += got;
    }
    *journal = reader.Finish();
    return true;
}

bool HighestRecordedRun(const WideString& versionsFolder, uint64_t* highest, WideString* problem) {
    *highest = 0;
    problem->clear();
    VisitFolder(versionsFolder, [&](const WIN32_FIND_DATAW& entry) {
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || SetNameOfRunJournal(entry.cFileName).empty() ||
            !problem->empty()) {
            return;
        }
        const WideString path = JoinPath(versionsFolder, entry.cFileName);
        RunJournal journal;
        for (int attempt = 1;; ++attempt) {
            if (ReadRunJournalHead(path, &journal)) break;
            const DWORD error = GetLastError();
            // A record whose head does not read names no run: it is no record.
            if (error == ERROR_SUCCESS) return;
            if ((error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION) || attempt == kBusyTries) {
                *problem = Say(Message::RecordUnreadable, {path, SystemReason(error)});
                return;
            }
            Sleep(kBusyPauseMs);
        }
        *highest = std::max(*highest, journal.run);
    });
    return problem->empty();
}

bool ReadsBackAs(const WideString& path, uint64_t offset, const std::string& bytes, WideString* problem) {
    const ScopedFileHandle file(CreateFileW(LongPathForm(path).c_str(), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                            FILE_FLAG_NO_BUFFERING, nullptr));
    if (!file.Valid()) {
        *problem = SystemReason(GetLastError());
        return false;
    }
    AlignedBuffer buffer(kReadBackBytes);
    if (buffer.Data() == nullptr) {
        *problem = SystemReason(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    // Unbuffered reads start and end on sector bounds.
    uint64_t position = offset / kSectorBytes * kSectorBytes;
    const uint64_t end = offset + bytes.size();
    while (position < end) {
        LARGE_INTEGER at;
        at.QuadPart = static_cast<LONGLONG>(position);
        DWORD got = 0;
        if (!SetFilePointerEx(file.Get(), at, nullptr, FILE_BEGIN) ||
            !ReadFile(file.Get(), buffer.Data(), kReadBackBytes, &got, nullptr)) {
            *problem = SystemReason(GetLastError());
            return false;
        }
        const uint64_t from = std::max(position, offset);
        const uint64_t to = std::min(position + got, end);
        if (got == 0 || to <= from ||
            bytes.compare(from - offset, to - from, buffer.Data() + (from - position), to - from) != 0) {
            *problem = Say(Message::DoesNotReadBack);
            return false;
        }
        position += got;
    }
    return true;
}

WideString RunJournalWriter::Create(const WideString& path, uint64_t run, const WideString& started,
                                    const WideString& name) {
    const std::string head = JournalHead(run, started, name);
    WideString problem = WriteAtEnd(path, CREATE_NEW, head);
    if (problem.empty() && !ReadsBackAs(path, 0, head, &problem)) {
        // A record that is not whole on the stick is no record of this run.
        DeleteFileW(LongPathForm(path).c_str());
    }
    if (!problem.empty()) return problem;
    path_ = path;
    size_ = head.size();
    return WideString();
}

WideString RunJournalWriter::Append(const std::string& lines) {
    // After a write that did not land whole, nothing more is added: the
    // record ends where it is last whole.
    if (!broken_.empty()) return broken_;
    WideString problem = WriteAtEnd(path_, OPEN_EXISTING, lines);
    if (problem.empty()) ReadsBackAs(path_, size_, lines, &problem);
    if (!problem.empty()) {
        broken_ = problem;
        return problem;
    }
    size_ += lines.size();
    return WideString();
}

#include "restore/record_lines.h"

#include <utility>
#include <vector>

#include "common/scoped_handle.h"
#include "common/windows_headers.h"
#include "text/canonical_path.h"

namespace {

const char kByteOrderMark[] = "\xEF\xBB\xBF";

}  // namespace

RecordLineCutter::RecordLineCutter(LineSink each, size_t limit) : each_(std::move(each)), limit_(limit) {}

void RecordLineCutter::Feed(const char* bytes, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        const char c = bytes[i];
        if (!started_) {
            // The mark may come split over two pieces; a partial one is text.
            if (c == kByteOrderMark[bomMatched_]) {
                if (++bomMatched_ == 3) started_ = true;
                continue;
            }
            started_ = true;
            const size_t matched = bomMatched_;
            bomMatched_ = 0;
            Feed(kByteOrderMark, matched);
        }
        if (c == '\n') {
            EndLine();
            continue;
        }
        if (tooLong_) continue;
        if (line_.size() >= limit_) {
            tooLong_ = true;
            std::string().swap(line_);
            continue;
        }
        line_ += c;
    }
}

void RecordLineCutter::Finish() {
    if (!started_ && bomMatched_ != 0 && bomMatched_ < 3) {
        started_ = true;
        const size_t matched = bomMatched_;
        bomMatched_ = 0;
        Feed(kByteOrderMark, matched);
    }
    EndLine();
}

void RecordLineCutter::EndLine() {
    if (!line_.empty() && line_.back() == '\r') line_.pop_back();
    if (!tooLong_ && !line_.empty()) each_(line_);
    line_.clear();
    tooLong_ = false;
}

bool ForEachRecordLine(const WideString& path, const RecordLineCutter::LineSink& each) {
    const ScopedFileHandle file(CreateFileW(LongPathForm(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.Valid()) return GetLastError() == ERROR_FILE_NOT_FOUND;
    RecordLineCutter cutter(each);
    std::vector<char> buffer(1u << 16);
    DWORD read = 0;
    while (ReadFile(file.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) && read > 0) {
        cutter.Feed(buffer.data(), read);
    }
    cutter.Finish();
    return true;
}

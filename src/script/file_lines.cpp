#include "script/file_lines.h"

#include <utility>


namespace {

const char kByteOrderMark[] = "\xEF\xBB\xBF";

}  // namespace

LineCutter::LineCutter(LineSink each, size_t limit) : each_(std::move(each)), limit_(limit) {}

void LineCutter::Feed(const char* bytes, size_t size) {
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

void LineCutter::Finish() {
    if (!started_ && bomMatched_ != 0 && bomMatched_ < 3) {
        started_ = true;
        const size_t matched = bomMatched_;
        bomMatched_ = 0;
        Feed(kByteOrderMark, matched);
    }
    EndLine();
}

void LineCutter::EndLine() {
    if (!line_.empty() && line_.back() == '\r') line_.pop_back();
    if (!tooLong_ && !line_.empty()) each_(line_);
    if (tooLong_) ++longLinesLeftOut_;
    line_.clear();
    tooLong_ = false;
}

#include "housekeeping/run_history.h"

#include <string>
#include <vector>

#include "common/scoped_handle.h"
#include "script/text_files.h"
#include "text/canonical_path.h"
#include "text/number_text.h"
#include "text/split_join.h"
#include "text/system_error.h"
#include "text/time_text.h"

namespace {

constexpr size_t kKeptLines = 1000;

}  // namespace

const wchar_t* ResultWord(int exitStatus) {
    if (exitStatus == 0) return L"complete";
    if (exitStatus == 1) return L"incomplete";
    return L"not made";
}

WideString HistoryLine(const RunRecord& record) {
    const StringList fields = {FormatTime(L"%Y-%m-%d %H:%M:%S", record.start),
                               ResultWord(record.exitStatus),
                               IntegerToText(static_cast<uint64_t>(record.exitStatus), 10),
                               IntegerToText(record.folders, 10),
                               IntegerToText(record.files, 10),
                               IntegerToText(record.bytesCopied, 10),
                               IntegerToText(record.versionsKept, 10),
                               IntegerToText(record.setsRemoved, 10),
                               IntegerToText(record.seconds, 10)};
    return JoinText(fields, L"\t");
}

StringList HistoryWith(const StringList& lines, const WideString& newLine, size_t keep) {
    StringList history;
    for (WideString line : lines) {
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        if (!line.empty()) history.push_back(line);
    }
    history.push_back(newLine);
    if (history.size() > keep) history.erase(history.begin(), history.end() - static_cast<ptrdiff_t>(keep));
    return history;
}

WideString HistoryFileOf(const WideString& computerFolder) { return computerFolder + L".log"; }

WideString AppendToHistory(const WideString& historyFile, const RunRecord& record) {
    std::string bytes;
    if (!ReadWholeFile(historyFile, &bytes)) return SystemReason(GetLastError());
    const StringList history = HistoryWith(SplitText(FromUtf8(bytes), L"\n"), HistoryLine(record), kKeptLines);
    WideString text;
    for (const WideString& line : history) text += line + L"\r\n";
    const ByteVector encoded = ToUtf8(text);
    return ReplaceFileWith(historyFile, encoded.data(), encoded.size());
}

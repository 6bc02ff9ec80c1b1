// The stick remembers every run: "_Backup_\<COMPUTER>.log" holds one line per
// run that could write to the drive, tab-separated, UTF-8, CR LF, in a
// fixed English form that any script on any computer can read:
//   2026-12-07 18:30:02<TAB>complete<TAB>0<TAB>11<TAB>3204<TAB>12897484<TAB>2<TAB>0<TAB>41
// start time, result (complete, incomplete, not made), exit status,
// folders, files, bytes copied, earlier versions kept, sets removed, and
// the duration in seconds. The newest 1,000 lines are kept.
#pragma once

#include <cstdint>
#include <ctime>

#include "text/wide_string.h"

struct RunRecord {
    std::tm start = {};
    int exitStatus = 0;  // 0 complete, 1 incomplete, 2 not made
    uint64_t folders = 0;
    uint64_t files = 0;
    uint64_t bytesCopied = 0;
    uint64_t versionsKept = 0;
    uint64_t setsRemoved = 0;
    uint64_t seconds = 0;
};

// The result's word for the exit status: 0 => "complete", 1 => "incomplete",
// anything else => "not made".
const wchar_t* ResultWord(int exitStatus);

// The record's line, without a line end.
WideString HistoryLine(const RunRecord& record);

// The history after a run: the lines there were (a last one without its
// line end included, empty ones dropped) and the new one, the newest
// `keep` of them.
StringList HistoryWith(const StringList& lines, const WideString& newLine, size_t keep);

// "E:\_Backup_\PC01" => "E:\_Backup_\PC01.log"
WideString HistoryFileOf(const WideString& computerFolder);

// Adds the record's line to the history file: the whole history goes to a
// temporary file beside it, flushed, which then replaces it, so a full
// drive or a pulled stick leaves the old history whole. Returns the
// system's reason when that failed, else empty.
WideString AppendToHistory(const WideString& historyFile, const RunRecord& record);

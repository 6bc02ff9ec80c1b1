// The trace log: one line per entry in hourly UTF-16 files below the work
// folder (Quillon.tmp\_trace_\WC\MMDD_HH.txt), for failures the console
// does not show. The first entry of a process schedules trace files older
// than ten days for deletion at program end.
#pragma once

#include "text/wide_string.h"

// Appends "time<TAB>program file name<TAB>message" (message folded into
// one line). A new file starts with FF FE and a header line: time, user,
// temporary folder, current folder and program path. The file is tried
// once: when it cannot be opened or written, "Can't write the trace log
// <path>: <reason>" goes to the error stream, this and every later call of
// the run return false at once, and nothing more is said.
bool WriteTrace(const WideString& message);

// Prints the line on the console and writes it to the trace log.
void ReportLine(const WideString& line);

// The text with each CR replaced by the first character of the replacement
// and each LF by the rest of it.  ("a\r\nb", "\t\t") => "a\t\tb"
WideString ReplaceLineBreaks(const WideString& text, const WideString& replacement);

// The user's name from the system, else USER, else USERNAME.
WideString UserName();

// The header line's fields after the time: the folded user name, temporary
// folder, current folder and program path, each followed by two TABs.
WideString TraceHeaderFields(const WideString& user, const WideString& tempFolder,
                             const WideString& currentFolder, const WideString& programPath);

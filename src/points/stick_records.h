// Reading what the stick records of one computer's backups: the history of
// its runs, its backup and its sets with their checksum lists, and the
// records of added files. Only reads; links are never followed.
#pragma once

#include <functional>

#include "points/restore_plan.h"
#include "text/wide_string.h"

// The run a history line names, or false for a line that does not read.
//   "2026-12-07 18:30:02\tcomplete\t0\t11\t3204\t12897484\t2\t0\t41" =>
//     name "2026-12-07_183002", changed (bytes copied or versions kept)
bool HistoryRunOfLine(const WideString& line, HistoryRun* run);

// Calls visit for every file below the folder, depth first, by its path
// below it, and emptyFolder (when given) for every folder below it that
// holds nothing at all. Folders that are links are not entered. False when
// a folder could not be read.
bool VisitFilesBelow(const WideString& folder, const std::function<void(const WideString& relative, uint64_t size)>& visit,
                     const std::function<void(const WideString& relative)>& emptyFolder = nullptr);

// The files of a folder and the lines of its checksum list, as one list:
// each file found or listed once, whatever its letter case.
std::vector<StoredFile> StoredFilesOf(const WideString& folder, const WideString& checksumList,
                                      StringList* emptyFolders = nullptr);

// Everything the stick records of the computer: its history, its backup
// (with the files' sizes and lines) and its sets and records of added
// files, each set's files with their lines.
StickRecords ReadStickRecords(const WideString& computerFolder, const WideString& versionsFolder);

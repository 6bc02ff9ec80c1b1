#include "points/stick_records.h"

#include <algorithm>
#include <map>
#include <set>
#include <unordered_set>
#include <unordered_map>

#include "common/windows_headers.h"
#include "housekeeping/run_history.h"
#include "walk/tree_walk.h"
#include "versions/version_keeping.h"
#include "plan/versions.h"
#include "records/run_journal.h"
#include "records/run_journal_file.h"
#include "script/text_files.h"
#include "script/text_files.h"
#include "text/case_text.h"
#include "text/path_text.h"
#include "text/split_join.h"
#include "verify/checksum_book.h"
#include "verify/checksum_files.h"

namespace {

bool ReadCount(const WideString& text, uint64_t* value) {
    if (text.empty() || text.size() > 19) return false;
    uint64_t n = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return false;
        n = n * 10 + static_cast<uint64_t>(c - L'0');
    }
    *value = n;
    return true;
}

}  // namespace

bool HistoryRunOfLine(const WideString& line, HistoryRun* run) {
    const StringList fields = SplitText(line, L"\t");
    uint64_t bytes = 0;
    uint64_t versions = 0;
    if (fields.size() < 7 || fields[0].size() != 19 || !ReadCount(fields[5], &bytes) ||
        !ReadCount(fields[6], &versions)) {
        return false;
    }
    const WideString& start = fields[0];
    const WideString name = start.substr(0, 10) + L"_" + start.substr(11, 2) + start.substr(14, 2) + start.substr(17, 2);
    if (!IsVersionSetName(name) || start[10] != L' ' || start[13] != L':' || start[16] != L':') return false;
    run->name = name;
    run->changed = bytes != 0 || versions != 0;
    return true;
}

bool VisitFilesBelow(const WideString& folder,
                     const std::function<void(const WideString& relative, uint64_t size)>& visit,
                     const std::function<void(const WideString& relative)>& emptyFolder) {
    bool whole = true;
    StringList pending = {WideString()};
    while (!pending.empty()) {
        const WideString relative = pending.back();
        pending.pop_back();
        StringList subfolders;
        bool holdsSomething = false;
        whole = VisitFolder(JoinPath(folder, relative), [&](const WIN32_FIND_DATAW& entry) {
            holdsSomething = true;
            const WideString path = relative.empty() ? WideString(entry.cFileName) : JoinPath(relative, entry.cFileName);
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return;
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                subfolders.push_back(path);
                return;
            }
            visit(path, (uint64_t{entry.nFileSizeHigh} << 32) | entry.nFileSizeLow);
        }) && whole;
        if (!holdsSomething && !relative.empty() && emptyFolder) emptyFolder(relative);
        // Depth first in name order: the last pushed is walked first.
        pending.insert(pending.end(), subfolders.rbegin(), subfolders.rend());
    }
    return whole;
}

std::vector<StoredFile> StoredFilesOf(const WideString& folder, const WideString& checksumList,
                                      StringList* emptyFolders) {
    std::vector<StoredFile> files;
    std::unordered_map<WideString, size_t> byKey;
    VisitFilesBelow(folder, [&](const WideString& relative, uint64_t size) {
        StoredFile file;
        file.relative = relative;
        file.onStick = true;
        file.size = size;
        byKey.emplace(FoldedKey(relative), files.size());
        files.push_back(std::move(file));
    }, [&](const WideString& relative) {
        if (emptyFolders != nullptr) emptyFolders->push_back(relative);
    });
    ForEachFileLine(checksumList, [&](const std::string& line) {
        StoredFile listed;
        if (!ReadChecksumLine(line, &listed.digest, &listed.relative)) return;
        const auto found = byKey.find(FoldedKey(listed.relative));
        if (found != byKey.end()) {
            files[found->second].listed = true;
            files[found->second].digest = listed.digest;
            return;
        }
        listed.listed = true;
        byKey.emplace(FoldedKey(listed.relative), files.size());
        files.push_back(std::move(listed));
    });
    return files;
}

namespace {

// The run a record says, with its set's files on the stick and its lines
// from the record itself (the set's own list may lag behind a run that
// did not finish). The record's lists of paths move into the run.
void ReadRecordedRun(const WideString& setFolder, RunJournal& journal, RunRecords* run) {
    for (const KeptEntry& entry : journal.checked) {
        StoredFile file;
        file.relative = entry.path;
        file.listed = true;
        file.digest = entry.digest;
        file.size = entry.size;
        run->checked.push_back(std::move(file));
    }
    run->recorded = true;
    run->run = journal.run;
    run->started = journal.started;
    run->whole = journal.readable && journal.whole;
    run->finished = journal.closed;
    run->hasAdded = run->whole;
    run->added = std::move(journal.added);
    run->lost = std::move(journal.lost);
    std::unordered_map<WideString, uint64_t> inSet;
    if (run->hasSet) {
        VisitFilesBelow(setFolder, [&](const WideString& relative, uint64_t size) { inSet[FoldedKey(relative)] = size; });
    }
    std::unordered_set<WideString> returned;
    for (const WideString& back : journal.returned) returned.insert(FoldedKey(back));
    for (const KeptEntry& entry : journal.kept) {
        // Kept, then back in the backup (or not kept after all): this run did not change it.
        if (!entry.network && returned.count(FoldedKey(entry.path)) != 0) continue;
        StoredFile file;
        file.relative = entry.path;
        file.listed = true;
        file.digest = entry.digest;
        file.size = entry.size;
        const auto found = inSet.find(FoldedKey(entry.path));
        file.onStick = found != inSet.end();
        if (file.onStick) file.size = found->second;
        (entry.network ? run->network : run->kept).push_back(std::move(file));
    }
}

// The run of the last record the lists hold: their "record" line.
uint64_t ListsRunOf(const WideString& computerFolder) {
    uint64_t run = 0;
    ForEachFileLine(RunsListOf(computerFolder), [&](const std::string& line) {
        uint64_t number = 0;
        if (line.compare(0, 7, "record ") == 0 && ReadCount(FromUtf8(line.substr(7)), &number)) run = number;
    });
    return run;
}

// The backup's lines of files a run changed after the lists were written
// are older than the files: the run's record gives the lines of the copies
// it read back whole; any other such file is not taken for damaged, and one
// the run moved away is no file of the backup.
void MarkStaleLines(const std::vector<RunRecords>& records, uint64_t listsRun, std::vector<StoredFile>* backup) {
    std::vector<const RunRecords*> newer;
    for (const RunRecords& run : records) {
        if (run.recorded && run.run > listsRun) newer.push_back(&run);
    }
    if (newer.empty()) return;
    std::sort(newer.begin(), newer.end(), [](const RunRecords* a, const RunRecords* b) { return a->run < b->run; });
    // Each path as the newest of those runs left its line: none, or a copy's.
    std::unordered_map<WideString, const StoredFile*> touched;
    for (const RunRecords* run : newer) {
        for (const StoredFile& kept : run->kept) touched[FoldedKey(kept.relative)] = nullptr;
        for (const WideString& added : run->added) touched[FoldedKey(added)] = nullptr;
        for (const WideString& lost : run->lost) touched[FoldedKey(lost)] = nullptr;
        for (const StoredFile& checked : run->checked) touched[FoldedKey(checked.relative)] = &checked;
    }
    backup->erase(std::remove_if(backup->begin(), backup->end(),
                                 [&](StoredFile& file) {
                                     const auto found = touched.find(FoldedKey(file.relative));
                                     if (found == touched.end()) return false;
                                     const StoredFile* line = found->second;
                                     if (line != nullptr && file.onStick && line->size == file.size) {
                                         file.listed = true;
                                         file.digest = line->digest;
                                         return false;
                                     }
                                     file.stale = true;
                                     file.listed = false;
                                     return !file.onStick;
                                 }),
                  backup->end());
}

}  // namespace

StickRecords ReadStickRecords(const WideString& computerFolder, const WideString& versionsFolder) {
    StickRecords stick;
    ForEachFileLine(HistoryFileOf(computerFolder), [&](const std::string& line) {
        HistoryRun run;
        if (HistoryRunOfLine(FromUtf8(line), &run)) stick.history.push_back(run);
    });
    stick.backup = StoredFilesOf(computerFolder, ChecksumListOf(computerFolder), &stick.emptyFolders);
    stick.listsRun = ListsRunOf(computerFolder);
    std::map<WideString, RunRecords> records;
    std::set<WideString> journals;
    if (!versionsFolder.empty()) {
        VisitFolder(versionsFolder, [&](const WIN32_FIND_DATAW& entry) {
            const WideString name = entry.cFileName;
            const bool folder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            const bool link = (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
            if (folder && !link && IsVersionSetName(name)) {
                records[name].hasSet = true;
            } else if (!folder && !SetNameOfAddedRecord(name).empty()) {
                records[SetNameOfAddedRecord(name)].hasAdded = true;
            } else if (!folder && !SetNameOfRunJournal(name).empty()) {
                records[SetNameOfRunJournal(name)];
                journals.insert(SetNameOfRunJournal(name));
            }
        });
    }
    for (auto& entry : records) {
        RunRecords& run = entry.second;
        run.name = entry.first;
        const WideString setFolder = JoinPath(versionsFolder, run.name);
        RunJournal journal;
        if (journals.count(run.name) != 0) {
            // A record that cannot be read says nothing, and is no record of its run.
            // Only a run the lists do not hold yet needs its copies' lines.
            RunJournal head;
            const bool newer = !ReadRunJournalHead(RunJournalOf(setFolder), &head) || head.run > stick.listsRun;
            if (ReadRunJournalFile(RunJournalOf(setFolder), &journal, newer) && journal.readable) {
                ReadRecordedRun(setFolder, journal, &run);
            } else {
                run.recorded = true;
                run.hasAdded = false;
            }
            stick.records.push_back(std::move(run));
            continue;
        }
        if (run.hasSet) run.kept = StoredFilesOf(setFolder, SetChecksumListOf(setFolder));
        if (run.hasAdded) {
            // A line that would lead out of the computer's folder names nothing of it.
            run.hasAdded = ForEachFileLine(AddedRecordOf(setFolder), [&](const std::string& line) {
                const WideString relative = PathFromList(line);
                if (IsRecordPathBelow(relative)) run.added.push_back(relative);
            });
        }
        stick.records.push_back(std::move(run));
    }
    MarkStaleLines(stick.records, stick.listsRun, &stick.backup);
    return stick;
}

#include "restore/restore_run.h"

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "common/windows_headers.h"
#include "config/directory_ops.h"
#include "config/special_folders.h"
#include "config/system_paths.h"
#include "stick/drive_room.h"
#include "stick/run_lock.h"
#include "plan/backup_plan.h"
#include "plan/tree_compare.h"
#include "plan/versions.h"
#include "restore/restore_files.h"
#include "restore/stick_records.h"
#include "script/command_line.h"
#include "text/canonical_path.h"
#include "text/case_text.h"
#include "text/console_output.h"
#include "text/messages.h"
#include "text/number_text.h"
#include "text/path_text.h"
#include "text/system_error.h"
#include "text/time_text.h"
#include "trace/trace_log.h"
#include "verify/checksum_files.h"

namespace {

constexpr int kComplete = 0;
constexpr int kIncomplete = 1;
constexpr int kNothingDone = 2;
constexpr int kDesktopFolder = 0x10;  // CSIDL_DESKTOPDIRECTORY

// The place of one computer's backups on the stick.
struct StickPlace {
    WideString drive;           // "E:"
    WideString computer;        // "PC01"
    WideString computerFolder;  // "E:\_Backup_\PC01"
    WideString versionsFolder;  // "E:\_Versions_\PC01"
};

// A progress line rewritten in place on a console, at most twice a second;
// none when the output is redirected.
class ProgressLineOnConsole {
public:
    explicit ProgressLineOnConsole(Message head) : head_(head) {
        DWORD mode = 0;
        console_ = GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
        start_ = GetTickCount64();
    }
    ~ProgressLineOnConsole() { Clear(); }
    void Show(uint64_t files, uint64_t allFiles, uint64_t bytes, uint64_t allBytes) {
        const uint64_t now = GetTickCount64();
        if (!console_ || (shown_ != 0 && now - shown_ < 500)) return;
        shown_ = now;
        const WideString line = ProgressLine(head_, files, allFiles, bytes, allBytes, now - start_);
        // A shorter line clears what the longer one before it left.
        Write(L"\r" + line + WideString(width_ > line.size() ? width_ - line.size() : 0, L' ') + L"\r");
        width_ = std::max(width_, line.size());
    }
    // Before a line of its own, the progress line goes.
    void Clear() {
        if (width_ == 0) return;
        Write(L"\r" + WideString(width_, L' ') + L"\r");
        width_ = 0;
        shown_ = 0;
    }
    uint64_t ElapsedSeconds() const { return (GetTickCount64() - start_) / 1000; }

private:
    static void Write(const WideString& text) {
        DWORD written = 0;
        WriteConsoleW(GetStdHandle(STD_OUTPUT_HANDLE), text.c_str(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
    Message head_;
    bool console_ = false;
    uint64_t start_ = 0;
    uint64_t shown_ = 0;
    size_t width_ = 0;
};

// A task that does nothing says why; a restore's verdict line comes last.
int Refuse(const WideString& line, bool restoring = true) {
    ReportLine(line);
    if (restoring) ReportLine(Say(Message::RestoreNothing));
    return kNothingDone;
}

WideString StickPathOf(const StickPlace& place, const StickRecords& stick, const RestoreItem& item) {
    if (item.fromRecords < 0) return JoinPath(place.computerFolder, item.relative);
    return JoinPath(JoinPath(place.versionsFolder, stick.records[item.fromRecords].name), item.file.relative);
}

WideString SourceText(const StickRecords& stick, const RestoreItem& item) {
    return item.fromRecords < 0 ? Say(Message::FromTheBackup)
                                : Say(Message::FromTheSet, {stick.records[item.fromRecords].name});
}

// The line that names a file not restored; empty for one that was.
WideString NotRestoredLine(const RestoreResult& result, const WideString& shown) {
    switch (result.outcome) {
        case RestoreOutcome::KeptExisting: return Say(Message::RestoreKeptExisting, {shown});
        case RestoreOutcome::Damaged: return Say(Message::RestoreDamaged, {shown});
        case RestoreOutcome::NoLine: return Say(Message::RestoreNoLine, {shown});
        case RestoreOutcome::Missing: return Say(Message::RestoreMissing, {shown});
        case RestoreOutcome::NoPlace: return Say(Message::RestoreNoPlace, {shown});
        case RestoreOutcome::Failed: return Say(Message::RestoreFailed, {shown, result.problem});
        default: return WideString();
    }
}

// The free bytes and cluster size for a folder that may not exist yet:
// asked of its nearest existing folder.
bool RoomFor(const WideString& folder, BackupPlan* room, WideString* problem) {
    WideString existing = folder;
    while (!DirectoryExists(existing) && existing.size() > ShareRootOf(existing).size()) {
        existing = ParentPath(existing);
    }
    return ReadRoom(existing, room, problem);
}

int ListDates(const StickPlace& place) {
    const StickRecords stick = ReadStickRecords(place.computerFolder, place.versionsFolder);
    const std::vector<RestorePoint> points = RestorePoints(stick);
    if (points.empty()) return Refuse(Say(Message::NoRunsRecorded, {place.computer, place.drive}), false);
    PrintLine(Say(Message::DatesHeader, {place.computer, place.drive}));
    for (const RestorePoint& point : points) {
        const WideString figures = Say(Message::DatesFigures, {GroupedText(point.added), GroupedText(point.replaced),
                                                               GroupedText(point.removed)});
        PrintLine(Say(point.complete ? Message::DatesLine : Message::DatesLineGone,
                      {PointText(point.name), figures, point.name}));
    }
    PrintLine(Say(Message::DatesEarliest, {PointText(points[EarliestCompletePoint(points)].name)}));
    return kComplete;
}

int CheckStick(const StickPlace& place) {
    const StickRecords stick = ReadStickRecords(place.computerFolder, place.versionsFolder);
    struct ToCheck {
        const StoredFile* file;
        WideString path;
    };
    std::vector<ToCheck> files;
    uint64_t allBytes = 0;
    for (const StoredFile& file : stick.backup) {
        files.push_back({&file, JoinPath(place.computerFolder, file.relative)});
        allBytes += file.size;
    }
    for (const RunRecords& run : stick.records) {
        for (const StoredFile& file : run.kept) {
            files.push_back({&file, JoinPath(JoinPath(place.versionsFolder, run.name), file.relative)});
            allBytes += file.size;
        }
    }
    ProgressLineOnConsole progress(Message::ProgressChecking);
    uint64_t checked = 0, bytes = 0, bad = 0;
    for (const ToCheck& one : files) {
        WideString problem;
        const RestoreOutcome outcome = CheckStoredFile(*one.file, one.path, &problem);
        ++checked;
        bytes += one.file->size;
        if (outcome != RestoreOutcome::Restored) {
            ++bad;
            progress.Clear();
            RestoreResult result;
            result.outcome = outcome;
            result.problem = problem;
            ReportLine(NotRestoredLine(result, one.path));
        }
        progress.Show(checked, files.size(), bytes, allBytes);
    }
    progress.Clear();
    const WideString count = SayCount(checked, Message::FileOne, Message::FileMany);
    if (bad == 0) {
        ReportLine(Say(Message::CheckAllMatch, {count, SizeText(bytes), place.drive}));
        return kComplete;
    }
    ReportLine(Say(Message::CheckSomeBad, {count, SizeText(bytes), place.drive, GroupedText(bad)}));
    return kIncomplete;
}

int Restore(const StickArguments& arguments, const StickPlace& place) {
    StickRecords stick = ReadStickRecords(place.computerFolder, place.versionsFolder);
    std::vector<RestorePoint> points = RestorePoints(stick);
    if (points.empty()) {
        // No history: today's backup is the only point.
        RestorePoint now;
        now.name = FormatNow(L"%Y-%m-%d_%H%M%S");
        now.complete = true;
        points.push_back(now);
    }
    int point = static_cast<int>(points.size()) - 1;
    const int earliest = EarliestCompletePoint(points);
    if (!arguments.at.empty()) {
        const WideString limit = PointLimitOf(arguments.at);
        if (limit.empty()) return Refuse(Say(Message::BadPointTime, {arguments.at}));
        point = ChoosePoint(points, limit);
        if (point < 0) {
            return Refuse(Say(Message::NoPointThen, {place.computer, arguments.at, PointText(points[earliest].name)}));
        }
        if (!points[point].complete) {
            return Refuse(Say(Message::PointGone, {PointText(points[point].name), PointText(points[earliest].name)}));
        }
    }
    WideString only;
    if (!arguments.only.empty()) {
        only = PlaceOfOriginal(arguments.only);
        if (only.empty()) return Refuse(Say(Message::BadOnly, {arguments.only}));
    }
    WideString targetRoot;
    if (!arguments.toOriginal) {
        if (arguments.to.empty()) {
            const WideString desktop = SpecialFolderPath(kDesktopFolder);
            if (desktop.empty()) return Refuse(Say(Message::NoDesktop));
            targetRoot = JoinPath(desktop, place.computer + L"_" + points[point].name);
        } else {
            const CanonicalPath canonical = CanonicalPathOf(arguments.to, CurrentFolder());
            if (!canonical.problem.empty()) return Refuse(Say(Message::CantRestoreInto, {arguments.to, canonical.problem}));
            targetRoot = canonical.path;
        }
        if (IsInsideBackupFolders(targetRoot, place.drive)) {
            return Refuse(Say(Message::CantRestoreInto, {targetRoot, Say(Message::TargetInBackup)}));
        }
    }
    const RestorePlan plan = PlanRestore(stick, points, point, only, [&](const WideString& relative) {
        if (!arguments.toOriginal) return JoinPath(targetRoot, relative);
        const WideString original = OriginalOfPlace(relative);
        return IsInsideBackupFolders(original, place.drive) ? WideString() : original;
    });
    if (plan.items.empty() && plan.emptyFolders.empty()) {
        return Refuse(Say(Message::NothingAtPoint, {only.empty() ? place.computer : arguments.only,
                                                     PointText(points[point].name)}));
    }
    const WideString shownTarget = arguments.toOriginal ? Say(Message::OriginalPlaces) : targetRoot;

    if (arguments.list) {
        for (const RestoreItem& item : plan.items) {
            const RestoreOutcome there = item.target.empty() ? RestoreOutcome::NoPlace : ExistingTarget(item);
            const WideString shown = item.target.empty() ? item.relative : item.target;
            if (there == RestoreOutcome::AlreadyThere) {
                PrintLine(Say(Message::ListAlreadyThere, {shown}));
            } else if (there == RestoreOutcome::KeptExisting) {
                PrintLine(Say(arguments.replace ? Message::ListWouldReplace : Message::ListWouldKeep,
                              {shown, SourceText(stick, item)}));
            } else if (there == RestoreOutcome::NoPlace) {
                PrintLine(Say(Message::RestoreNoPlace, {shown}));
            } else {
                PrintLine(Say(Message::ListWouldRestore, {shown, SourceText(stick, item)}));
            }
        }
        PrintLine(Say(Message::ListTotal, {SayCount(plan.items.size(), Message::FileOne, Message::FileMany),
                                           SizeText(plan.bytes), shownTarget}));
        return kComplete;
    }

    // Room, per drive of the targets: what is not there yet, in whole clusters.
    std::map<WideString, std::vector<const RestoreItem*>> toWrite;
    for (const RestoreItem& item : plan.items) {
        if (item.target.empty()) continue;
        const bool there = GetFileAttributesW(LongPathForm(item.target).c_str()) != INVALID_FILE_ATTRIBUTES;
        if (!there || arguments.replace) toWrite[ToLowerText(ShareRootOf(item.target))].push_back(&item);
    }
    for (const auto& drive : toWrite) {
        const WideString folder = ParentPath(drive.second.front()->target);
        BackupPlan room;
        WideString problem;
        if (!RoomFor(folder, &room, &problem)) return Refuse(Say(Message::CantRestoreInto, {folder, problem}));
        uint64_t need = 0;
        for (const RestoreItem* item : drive.second) need += RoundUpToCluster(item->file.size, room.clusterBytes);
        if (need > room.freeBytes) {
            return Refuse(Say(Message::RestoreNoRoom, {arguments.toOriginal ? folder : targetRoot,
                                                        SizeText(need - room.freeBytes), ShareRootOf(folder)}));
        }
    }
    if (!targetRoot.empty() && !CreateDirectoryTree(targetRoot) && !DirectoryExists(targetRoot)) {
        return Refuse(Say(Message::CantRestoreInto, {targetRoot, SystemReason(GetLastError())}));
    }

    const WideString stamp = FormatNow(L"%Y-%m-%d_%H%M%S");
    ProgressLineOnConsole progress(Message::ProgressDone);
    uint64_t done = 0, doneBytes = 0, restored = 0, restoredBytes = 0, alreadyThere = 0, notRestored = 0;
    for (const RestoreItem& item : plan.items) {
        const RestoreResult result = RestoreFile(item, StickPathOf(place, stick, item), arguments.replace, stamp);
        ++done;
        doneBytes += item.file.size;
        if (result.outcome == RestoreOutcome::Restored) {
            ++restored;
            restoredBytes += item.file.size;
            if (!result.keptAs.empty()) {
                progress.Clear();
                ReportLine(Say(Message::RestoreKeptAside, {item.target, result.keptAs}));
            }
        } else if (result.outcome == RestoreOutcome::AlreadyThere) {
            ++alreadyThere;
        } else {
            ++notRestored;
            progress.Clear();
            ReportLine(NotRestoredLine(result, item.target.empty() ? item.relative : item.target));
        }
        progress.Show(done, plan.items.size(), doneBytes, plan.bytes);
    }
    progress.Clear();
    for (const WideString& folder : plan.emptyFolders) {
        const WideString problem = MakeRestoredFolder(folder);
        if (problem.empty()) continue;
        ++notRestored;
        ReportLine(Say(Message::RestoreFailed, {folder, problem}));
    }
    const WideString files = SayCount(restored, Message::FileOne, Message::FileMany);
    const WideString seconds = GroupedText(progress.ElapsedSeconds());
    if (notRestored == 0) {
        ReportLine(Say(Message::RestoreComplete,
                       {files, SizeText(restoredBytes), shownTarget, GroupedText(alreadyThere), seconds}));
        return kComplete;
    }
    ReportLine(Say(Message::RestoreIncomplete, {files, SizeText(restoredBytes), shownTarget, GroupedText(notRestored),
                                                GroupedText(alreadyThere), seconds}));
    return kIncomplete;
}

}  // namespace

WideString StickDriveOf(const WideString& on, const WideString& programPath) {
    if (!on.empty()) return on;
    if (programPath.size() >= 2 && programPath[1] == L':' && iswalpha(programPath[0])) {
        return WideString(1, static_cast<wchar_t>(towupper(programPath[0]))) + L":";
    }
    return WideString();
}

bool IsInsideBackupFolders(const WideString& target, const WideString& drive) {
    return PathWithin(target, drive + L"\\_Backup_") || PathWithin(target, drive + L"\\_Versions_");
}

WideString ProgressLine(Message head, uint64_t files, uint64_t allFiles, uint64_t bytes, uint64_t allBytes,
                        uint64_t elapsedMs) {
    const WideString done = Say(head, {GroupedText(files), GroupedText(allFiles), SizeText(bytes),
                                                        SizeText(allBytes)});
    if (elapsedMs < 1000 || bytes == 0 || allBytes <= bytes) return done;
    // At the pace so far (bytes per millisecond), rounded up to whole seconds.
    const double left = static_cast<double>(allBytes - bytes) * static_cast<double>(elapsedMs) / static_cast<double>(bytes);
    return done + Say(Message::ProgressLeft, {GroupedText(static_cast<uint64_t>(left / 1000.0) + 1)});
}

int RunStickTask(const StickArguments& arguments, const WideString& programPath) {
    if (!arguments.unknown.empty()) {
        ReportLine(Say(Message::UnknownSwitch, {arguments.unknown}));
        PrintLine(Say(Message::StickUsage));
        return kNothingDone;
    }
    StickPlace place;
    const bool restoring = arguments.task == StickTask::Restore;
    place.drive = StickDriveOf(arguments.on, programPath);
    place.computer = arguments.from.empty() ? ComputerName() : arguments.from;
    if (place.drive.empty()) return Refuse(Say(Message::NoStickDrive), restoring);
    const WideString backupFolder = place.drive + L"\\_Backup_";
    place.versionsFolder = VersionsComputerFolder(backupFolder, place.computer);
    // A name that is not one plain folder name has no backup of its own.
    if (place.versionsFolder.empty() || place.computer.find_first_of(L"\\/") != WideString::npos) {
        return Refuse(Say(Message::NoBackupOf, {place.computer, place.drive}), restoring);
    }
    place.computerFolder = JoinPath(backupFolder, place.computer);
    if (!DirectoryExists(place.computerFolder)) return Refuse(Say(Message::NoBackupOf, {place.computer, place.drive}), restoring);
    // No backup moves files under a restore or a check.
    std::unique_ptr<ScopedFileHandle> lock;
    WideString lockProblem;
    if (TakeRunLock(RunLockFileOf(place.computerFolder), &lock, &lockProblem) == RunLockState::Busy) {
        return Refuse(Say(Message::AnotherRun, {place.drive}), restoring);
    }
    if (arguments.task == StickTask::Dates) return ListDates(place);
    if (arguments.task == StickTask::Check) return CheckStick(place);
    return Restore(arguments, place);
}

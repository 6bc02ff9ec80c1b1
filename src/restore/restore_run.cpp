#include "restore/restore_run.h"

#include <memory>
#include <vector>

#include "common/windows_headers.h"
#include "config/directory_ops.h"
#include "config/special_folders.h"
#include "config/system_paths.h"
#include "stick/run_lock.h"
#include "plan/backup_plan.h"
#include "plan/versions.h"
#include "restore/progress_line.h"
#include "script/text_files.h"
#include "restore/restore_files.h"
#include "restore/restore_rules.h"
#include "restore/restore_targets.h"
#include "points/stick_records.h"
#include "restore/stick_tasks.h"
#include "restore/target_checks.h"
#include "script/command_line.h"
#include "script/text_files.h"
#include "text/canonical_path.h"
#include "text/console_output.h"
#include "text/messages.h"
#include "text/number_text.h"
#include "text/path_text.h"
#include "text/system_error.h"
#include "text/time_text.h"
#include "trace/trace_log.h"

namespace {

constexpr int kDesktopFolder = 0x10;  // CSIDL_DESKTOPDIRECTORY

WideString StickPathOf(const StickPlace& place, const StickRecords& stick, const RestoreItem& item) {
    if (item.fromRecords < 0) return JoinPath(place.computerFolder, item.file->relative);
    return JoinPath(JoinPath(place.versionsFolder, stick.records[item.fromRecords].name), item.file->relative);
}

WideString SourceText(const StickRecords& stick, const RestoreItem& item) {
    return item.fromRecords < 0 ? Say(Message::FromTheBackup)
                                : Say(Message::FromTheSet, {stick.records[item.fromRecords].name});
}

// A file named by where it goes, or where it came from when it has no place.
WideString ShownOf(const RestoreItem& item) {
    if (!item.target.empty()) return item.target;
    const WideString original = OriginalOfPlace(item.file->relative);
    return original.empty() ? item.file->relative : original;
}

// The folder list of the backup's computer on the stick, "E:\_Backup_\PC01.txt".
WideString FolderListOf(const StickPlace& place) { return place.computerFolder + L".txt"; }

// The backup's folders from its folder list; false when there is no list.
bool ReadBackupFolders(const StickPlace& place, StringList* places) {
    if (GetFileAttributesW(LongPathForm(FolderListOf(place)).c_str()) == INVALID_FILE_ATTRIBUTES) return false;
    StringList lines;
    const bool read = ForEachFileLine(FolderListOf(place), [&](const std::string& line) { lines.push_back(FromUtf8(line)); });
    *places = PlacesOfFolderList(lines);
    return read;
}

void SayBeforeWriting(const PreparedRestore& prepared, bool listing) {
    for (const WideString& leftover : prepared.leftovers) ReportLine(Say(Message::RestoreLeftover, {leftover}));
    for (const auto& folder : prepared.missingDrives) ReportLine(MissingDriveLine(folder.first, folder.second, listing));
}

int ListRestore(const StickRecords& stick, const PreparedRestore& prepared, const StickArguments& arguments,
                const RestoreTargets& targets, const WideString& shownTarget) {
    if (!prepared.refusal.empty()) {
        ReportLine(prepared.refusal);
        return kStickTaskNothingDone;
    }
    SayBeforeWriting(prepared, true);
    uint64_t files = 0, bytes = 0;
    for (const PreparedItem& one : prepared.items) {
        const RestoreItem& item = *one.item;
        const WideString shown = ShownOf(item);
        if (one.before == RestoreOutcome::DriveMissing) continue;
        if (one.before != RestoreOutcome::Restored) {
            PrintLine(Say(Message::ListWouldNotRestore, {shown, ReasonNotTried(one.before, targets.computer)}));
            continue;
        }
        const RestoreOutcome there = ExistingTarget(item);
        if (there == RestoreOutcome::AlreadyThere) {
            PrintLine(Say(Message::ListAlreadyThere, {shown}));
            continue;
        }
        if (there == RestoreOutcome::KeptExisting && !arguments.replace) {
            PrintLine(Say(Message::ListWouldKeep, {shown, SourceText(stick, item)}));
            continue;
        }
        PrintLine(Say(there == RestoreOutcome::KeptExisting ? Message::ListWouldReplace : Message::ListWouldRestore,
                      {shown, SourceText(stick, item)}));
        ++files;
        bytes += item.file->size;
    }
    PrintLine(Say(Message::ListTotal, {SayCount(files, Message::FileOne, Message::FileMany), SizeText(bytes), shownTarget}));
    return kStickTaskComplete;
}

}  // namespace

int RestorePrepared(const StickPlace& place, const StickRecords& stick, const RestorePlan& plan,
                    const PreparedRestore& prepared, bool replace, const RestoreTargets& targets,
                    const WideString& shownTarget) {
    if (!targets.root.empty() && !CreateDirectoryTree(targets.root) && !DirectoryExists(targets.root)) {
        return RefuseStickTask(Say(Message::CantRestoreInto, {targets.root, SystemReason(GetLastError())}));
    }
    SayBeforeWriting(prepared, false);
    RestoreTally tally;
    uint64_t tried = 0, triedBytes = 0;
    for (const PreparedItem& one : prepared.items) {
        if (one.before == RestoreOutcome::Restored) continue;
        CountRestored(&tally, one.before, one.item->file->size);
        if (one.before != RestoreOutcome::DriveMissing) {
            ReportLine(NotRestoredLine(RestoreResult{one.before, {}, {}}, ShownOf(*one.item), targets.computer));
        }
    }
    const WideString stamp = FormatNow(L"%Y-%m-%d_%H%M%S");
    ProgressLineOnConsole progress(Message::ProgressDone);
    for (const PreparedItem& one : prepared.items) {
        if (one.before != RestoreOutcome::Restored) continue;
        const RestoreItem& item = *one.item;
        const RestoreResult result = RestoreFile(item, StickPathOf(place, stick, item), replace, stamp);
        CountRestored(&tally, result.outcome, item.file->size);
        ++tried;
        triedBytes += item.file->size;
        if (result.outcome == RestoreOutcome::Restored && !result.keptAs.empty()) {
            progress.Clear();
            ReportLine(Say(Message::RestoreKeptAside, {item.target, result.keptAs}));
        }
        const WideString line = NotRestoredLine(result, ShownOf(item), targets.computer);
        if (!line.empty()) {
            progress.Clear();
            ReportLine(line);
        }
        progress.Show(tried, plan.items.size(), triedBytes, plan.bytes);
    }
    progress.Clear();
    for (const WideString& folder : plan.emptyFolders) {
        if (targets.original && DriveOfPathIsMissing(folder)) {
            ++tally.foldersNotMade;
            ReportLine(MissingDriveLine(folder, 0, false));
            continue;
        }
        const WideString problem = MakeRestoredFolder(folder);
        if (problem.empty()) continue;
        ++tally.foldersNotMade;
        ReportLine(Say(Message::RestoreFailed, {folder, problem}));
    }
    ReportLine(RestoreVerdictLine(tally, shownTarget, progress.ElapsedSeconds()));
    return RestoreExitStatus(tally);
}

namespace {

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
        if (limit.empty()) {
            ReportLine(Say(Message::BadPointTime, {arguments.at}));
            PrintLine(Say(Message::StickUsage));
            return RefuseStickTask(Say(Message::RestoreNothing), false);
        }
        point = ChoosePoint(points, limit);
        if (point < 0) {
            return RefuseStickTask(Say(Message::NoPointThen, {place.computer, arguments.at, PointText(points[earliest].name)}));
        }
        if (!points[point].complete) {
            return RefuseStickTask(
                Say(RefusalOf(points[point]), {PointText(points[point].name), PointText(points[earliest].name)}));
        }
    }
    WideString only;
    if (!arguments.only.empty()) {
        only = PlaceOfOriginal(arguments.only);
        if (only.empty()) return RefuseStickTask(Say(Message::BadOnly, {arguments.only}));
    }
    RestoreTargets targets = SystemRestoreTargets();
    targets.original = arguments.toOriginal;
    targets.computer = place.computer;
    targets.stickDrive = place.drive;
    for (const wchar_t* name : {L"\\_Backup_", L"\\_Versions_"}) {
        const FileIdentity identity = IdentityOf(place.drive + name);
        if (identity.known) targets.stickFolders.push_back(identity);
    }
    if (targets.original) {
        if (!ReadBackupFolders(place, &targets.places)) {
            return RefuseStickTask(Say(Message::NoFolderList, {place.computer, place.drive, FolderListOf(place)}));
        }
    } else {
        if (arguments.to.empty()) {
            const WideString desktop = SpecialFolderPath(kDesktopFolder);
            if (desktop.empty()) return RefuseStickTask(Say(Message::NoDesktop));
            targets.root = JoinPath(desktop, place.computer + L"_" + points[point].name);
        } else {
            const CanonicalPath canonical = CanonicalPathOf(arguments.to, CurrentFolder());
            if (!canonical.problem.empty()) {
                return RefuseStickTask(Say(Message::CantRestoreInto, {arguments.to, canonical.problem}));
            }
            targets.root = canonical.path;
        }
        if (IsInStickFolders(targets.root, place.drive, targets.stickFolders)) {
            return RefuseStickTask(Say(Message::CantRestoreInto, {targets.root, Say(Message::TargetInBackup)}));
        }
    }
    // A first backup's record names every file: only the later runs' additions are read.
    ForgetAddedBefore(&stick, points, point);
    const RestorePlan plan = PlanRestore(stick, points, point, only, [&](const WideString& relative) {
        if (!targets.original) return JoinPath(targets.root, relative);
        // Back to the original places only below the folders the backup was made from.
        return PlaceHolding(relative, targets.places).empty() ? WideString() : OriginalOfPlace(relative);
    });
    if (plan.items.empty() && plan.emptyFolders.empty()) {
        return RefuseStickTask(Say(Message::NothingAtPoint, {only.empty() ? place.computer : arguments.only,
                                                              PointText(points[point].name)}));
    }
    const WideString shownTarget = targets.original ? Say(Message::OriginalPlaces) : targets.root;
    const PreparedRestore prepared = PrepareRestore(plan, targets, arguments.replace, !arguments.list);
    if (arguments.list) return ListRestore(stick, prepared, arguments, targets, shownTarget);
    if (!prepared.refusal.empty()) return RefuseStickTask(prepared.refusal);
    return RestorePrepared(place, stick, plan, prepared, arguments.replace, targets, shownTarget);
}

}  // namespace

WideString StickDriveOf(const WideString& on, const WideString& programPath) {
    if (!on.empty()) return on;
    if (programPath.size() >= 2 && programPath[1] == L':' && IsDriveLetter(programPath[0])) {
        return WideString(1, static_cast<wchar_t>(towupper(programPath[0]))) + L":";
    }
    return WideString();
}

bool IsInsideBackupFolders(const WideString& target, const WideString& drive) {
    return PathWithin(target, drive + L"\\_Backup_") || PathWithin(target, drive + L"\\_Versions_");
}

int RunStickTask(const StickArguments& arguments, const WideString& programPath) {
    if (!arguments.unknown.empty()) {
        ReportLine(Say(Message::UnknownSwitch, {arguments.unknown}));
        PrintLine(Say(Message::StickUsage));
        return kStickTaskNothingDone;
    }
    StickPlace place;
    const bool restoring = arguments.task == StickTask::Restore;
    place.drive = StickDriveOf(arguments.on, programPath);
    place.computer = arguments.from.empty() ? ComputerName() : arguments.from;
    if (place.drive.empty()) return RefuseStickTask(Say(Message::NoStickDrive), restoring);
    const WideString backupFolder = place.drive + L"\\_Backup_";
    place.versionsFolder = VersionsComputerFolder(backupFolder, place.computer);
    // A name that is not one plain folder name has no backup of its own.
    if (place.versionsFolder.empty() || place.computer.find_first_of(L"\\/") != WideString::npos) {
        return RefuseStickTask(Say(Message::NoBackupOf, {place.computer, place.drive}), restoring);
    }
    place.computerFolder = JoinPath(backupFolder, place.computer);
    // A link there would make other files read as the backup.
    const WideString linked = FirstLinkedStickPlace(place);
    if (!linked.empty()) {
        return RefuseStickTask(Say(Message::StickPlaceIsLink, {place.computer, place.drive, linked}), restoring);
    }
    if (!DirectoryExists(place.computerFolder)) {
        return RefuseStickTask(Say(Message::NoBackupOf, {place.computer, place.drive}), restoring);
    }
    // No backup moves files under a restore or a check.
    std::unique_ptr<ScopedFileHandle> lock;
    WideString lockProblem;
    if (TakeRunLock(RunLockFileOf(place.computerFolder), &lock, &lockProblem) == RunLockState::Busy) {
        return RefuseStickTask(Say(Message::AnotherRun, {place.drive}), restoring);
    }
    if (arguments.task == StickTask::Dates) return ListDates(place);
    if (arguments.task == StickTask::Check) return CheckStick(place);
    return Restore(arguments, place);
}

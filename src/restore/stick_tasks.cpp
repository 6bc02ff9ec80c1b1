#include "restore/stick_tasks.h"

#include <vector>

#include "config/network_drive.h"
#include "stick/backup_places.h"
#include "restore/progress_line.h"
#include "restore/restore_rules.h"
#include "points/stick_records.h"
#include "text/console_output.h"
#include "text/messages.h"
#include "text/number_text.h"
#include "text/path_text.h"
#include "trace/trace_log.h"

Message DatesLineOf(const RestorePoint& point) {
    switch (point.doubt) {
        case RestorePoint::Doubt::None: return Message::DatesLine;
        case RestorePoint::Doubt::VersionsGone: return Message::DatesLineGone;
        case RestorePoint::Doubt::RecordGone: return Message::DatesLineNoRecord;
        case RestorePoint::Doubt::RecordNotWhole: return Message::DatesLineNotWhole;
    }
    return Message::DatesLineGone;
}

Message RefusalOf(const RestorePoint& point) {
    switch (point.doubt) {
        case RestorePoint::Doubt::RecordGone: return Message::PointNoRecord;
        case RestorePoint::Doubt::RecordNotWhole: return Message::PointNotWhole;
        default: return Message::PointGone;
    }
}

int RefuseStickTask(const WideString& line, bool restoring) {
    ReportLine(line);
    if (restoring) ReportLine(Say(Message::RestoreNothing));
    return kStickTaskNothingDone;
}

WideString FirstLinkedStickPlace(const StickPlace& place) {
    for (const WideString& folder : {ParentPath(place.computerFolder), place.computerFolder,
                                     ParentPath(place.versionsFolder), place.versionsFolder}) {
        // As the backup looks at them: a mapped drive in its network form.
        const WideString form = NetworkDriveToUnc(folder);
        if (!IsPlainPlace(form, FactsOfPlace(form))) return folder;
    }
    return WideString();
}

int ListDates(const StickPlace& place) {
    const StickRecords stick = ReadStickRecords(place.computerFolder, place.versionsFolder);
    const std::vector<RestorePoint> points = RestorePoints(stick);
    if (points.empty()) return RefuseStickTask(Say(Message::NoRunsRecorded, {place.computer, place.drive}), false);
    PrintLine(Say(Message::DatesHeader, {place.computer, place.drive}));
    for (const RestorePoint& point : points) {
        const WideString figures = Say(Message::DatesFigures, {GroupedText(point.added), GroupedText(point.replaced),
                                                               GroupedText(point.removed)}) +
                                   (point.interrupted ? Say(Message::DatesUnfinished) : WideString());
        PrintLine(Say(DatesLineOf(point), {PointText(point.name), figures, point.name}));
    }
    PrintLine(Say(Message::DatesEarliest, {PointText(points[EarliestCompletePoint(points)].name)}));
    return kStickTaskComplete;
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
        for (const auto* kept : {&run.kept, &run.network}) {
            for (const StoredFile& file : *kept) {
                files.push_back({&file, JoinPath(JoinPath(place.versionsFolder, run.name), file.relative)});
                allBytes += file.size;
            }
        }
    }
    ProgressLineOnConsole progress(Message::ProgressChecking);
    CheckTally tally;
    for (const ToCheck& one : files) {
        WideString problem;
        const RestoreOutcome outcome =
            one.file->stale ? RestoreOutcome::NotYetRecorded : CheckStoredFile(*one.file, one.path, &problem);
        CountChecked(&tally, outcome, one.file->size);
        const WideString line = CheckedFileLine(outcome, one.path, problem);
        if (!line.empty()) {
            progress.Clear();
            ReportLine(line);
        }
        progress.Show(tally.files, files.size(), tally.bytes, allBytes);
    }
    progress.Clear();
    if (tally.notYetRecorded != 0) {
        ReportLine(Say(Message::CheckNotYetRecorded, {SayCount(tally.notYetRecorded, Message::FileOne, Message::FileMany)}));
    }
    ReportLine(CheckVerdictLine(tally, place.drive));
    return CheckExitStatus(tally);
}

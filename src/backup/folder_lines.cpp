#include "backup/folder_lines.h"

#include "backup/backup_check.h"
#include "config/folder_reasons.h"
#include "plan/versions.h"
#include "text/messages.h"
#include "text/number_text.h"
#include "text/path_text.h"

namespace {

WideString ReturnedLine(const ReturnedFile& file) {
    if (file.problem.empty()) return Say(Message::NotCopiedPutBack, {file.move.source});
    return Say(Message::NotPutBack, {file.move.from, file.move.to, file.problem});
}

}  // namespace

StringList PlanLines(const PlannedFolder& folder) {
    if (folder.fate == FolderFate::Unreadable) return {NotBackedUpLine(folder.folder, folder.reason)};
    StringList lines;
    if (!folder.holds.empty()) lines.push_back(Say(Message::HoldsConfigured, {folder.source, folder.holds}));
    // Mirroring it would delete the only copy of its files.
    if (folder.fate == FolderFate::KeptEmptied) lines.push_back(Say(Message::KeptEmptied, {folder.source}));
    return lines;
}

StringList RollingLines(const std::vector<RollingFinding>& findings, const WideString& drive) {
    StringList lines;
    for (const RollingFinding& finding : findings) {
        lines.push_back(finding.kind == RollingFinding::Kind::SourceGone
                            ? Say(Message::DamagedSourceGone, {finding.backupPath})
                            : Say(Message::DamagedSourceUnreadable, {finding.backupPath, drive, finding.problem}));
    }
    return lines;
}

StringList KeepLines(const KeepFacts& facts, const PlannedFolder& folder) {
    StringList lines;
    if (facts.kept != 0) lines.push_back(KeptVersionsLine(facts.kept, folder.source, facts.setFolder));
    for (const VersionSet& set : facts.removals.removed) lines.push_back(RemovedSetLine(set));
    if (!facts.removals.failure.empty()) {
        lines.push_back(SetNotRemovedLine(facts.removals.notRemoved, facts.removals.failure));
    }
    for (const ReturnedFile& file : facts.notReturned) lines.push_back(ReturnedLine(file));
    if (facts.leftOut) lines.push_back(NotBackedUpLine(folder.folder, folder.reason));
    return lines;
}

StringList CopyNotRunLines(const std::vector<ReturnedFile>& notReturned, const PlannedFolder& folder) {
    StringList lines;
    for (const ReturnedFile& file : notReturned) lines.push_back(ReturnedLine(file));
    lines.push_back(NotBackedUpLine(folder.folder, folder.reason));
    return lines;
}

StringList CheckLines(const CheckFacts& facts, const PlannedFolder& folder, const WideString& drive) {
    StringList lines = VerificationLines(folder.source, facts.after, facts.verified);
    for (const CopyFinding& finding : facts.findings) {
        switch (finding.kind) {
            case CopyFinding::Kind::ChangedDuringBackup:
                lines.push_back(Say(Message::ChangedDuringBackup, {finding.sourcePath}));
                break;
            case CopyFinding::Kind::Unreadable:
                lines.push_back(Say(Message::CopyUnreadable, {finding.sourcePath, drive, finding.problem}));
                break;
            case CopyFinding::Kind::Mismatch:
                lines.push_back(Say(Message::CopyMismatch, {finding.sourcePath, drive}));
                break;
        }
    }
    for (const ReturnedFile& file : facts.returned) lines.push_back(ReturnedLine(file));
    for (const WideString& big : facts.after.overSizeCap) {
        lines.push_back(Say(Message::OverSizeCap, {JoinPath(folder.source, big)}));
    }
    for (const SuspectOutcome& suspect : facts.suspects) {
        lines.push_back(suspect.repaired ? Say(Message::Repaired, {suspect.source, drive})
                                         : Say(Message::ChangedCopyKept, {suspect.source, drive, suspect.setPath}));
    }
    for (const VersionMove& move : facts.differingKept) {
        lines.push_back(Say(Message::DifferingCopyKept, {move.source.empty() ? move.from : move.source, drive, move.to}));
    }
    for (const WideString& source : facts.lost) lines.push_back(Say(Message::EarlierVersionLost, {source}));
    return lines;
}

StringList LeftoverLines(const std::vector<LeftoverFinding>& findings, const WideString& drive) {
    StringList lines;
    for (const LeftoverFinding& finding : findings) {
        lines.push_back(finding.kind == LeftoverFinding::Kind::DamagedRecorded
                            ? Say(Message::DamagedRecorded, {finding.backupPath})
                            : Say(Message::DamagedNotReplaced, {finding.backupPath, drive}));
    }
    return lines;
}

WideString RollingLine(const RollingTotals& totals, const WideString& drive) {
    if (totals.files == 0) return WideString();
    const WideString result = totals.changed == 0 ? Say(Message::RollingAllMatch)
                                                  : Say(Message::RollingChanged, {GroupedText(totals.changed)});
    return Say(totals.files == 1 ? Message::RollingCheckedOne : Message::RollingCheckedMany,
               {GroupedText(totals.files), SizeText(totals.bytes), drive, result});
}

StringList ListProblemLines(const std::vector<BackupLists::SaveProblem>& problems) {
    StringList lines;
    for (const BackupLists::SaveProblem& problem : problems) {
        lines.push_back(Say(Message::CantWriteChecksumList, {problem.list, problem.reason}));
    }
    return lines;
}

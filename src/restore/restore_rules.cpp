#include "restore/restore_rules.h"

#include "common/windows_headers.h"
#include "plan/backup_plan.h"
#include "plan/copy_policy.h"
#include "plan/tree_compare.h"
#include "text/canonical_path.h"
#include "text/case_text.h"
#include "text/messages.h"
#include "text/number_text.h"
#include "text/path_text.h"

namespace {

// IsReparseTagNameSurrogate: the tag stands for another named entity.
constexpr uint32_t kNameSurrogateBit = 0x20000000;

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }

// The first characters of the text, at most count of them, never half a pair.
WideString Cut(const WideString& text, size_t count) {
    if (text.size() <= count) return text;
    if (count > 0 && IsHighSurrogate(text[count - 1])) --count;
    return text.substr(0, count);
}

}  // namespace

StringList PlacesOfFolderList(const StringList& lines) {
    StringList places;
    for (const WideString& line : lines) {
        if (line.empty()) continue;
        const CanonicalPath canonical = CanonicalPathOf(line, WideString());
        if (!canonical.problem.empty()) continue;
        const WideString place = PlaceOfOriginal(canonical.path);
        // A whole drive is never backed up, so it never makes a whole drive writable.
        if (place.size() > 1) places.push_back(place);
    }
    return places;
}

WideString PlaceHolding(const WideString& relative, const StringList& places) {
    const WideString key = FoldedKey(relative);
    WideString holding;
    for (const WideString& place : places) {
        const WideString placeKey = FoldedKey(place);
        const bool holds = key == placeKey || (key.size() > placeKey.size() && key.compare(0, placeKey.size(), placeKey) == 0 &&
                                               key[placeKey.size()] == L'\\');
        if (holds && place.size() > holding.size()) holding = place;
    }
    return holding;
}

RestoreOutcome OutcomeBeforeWriting(const RestoreItem& item, bool outsideFolders, bool driveMissing) {
    if (item.target.empty()) return outsideFolders ? RestoreOutcome::OutsideFolders : RestoreOutcome::NoPlace;
    if (driveMissing) return RestoreOutcome::DriveMissing;
    if (item.file->lost) return RestoreOutcome::VersionLost;
    if (!item.file->onStick) return RestoreOutcome::Missing;
    if (!item.file->listed) return RestoreOutcome::NoLine;
    return RestoreOutcome::Restored;
}

bool DriveIsMissing(unsigned driveType, bool rootThere) {
    return driveType == DRIVE_UNKNOWN || driveType == DRIVE_NO_ROOT_DIR || !rootThere;
}

bool IsLinkEntry(uint32_t attributes, uint32_t reparseTag) {
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) return false;
    return reparseTag == 0 || (reparseTag & kNameSurrogateBit) != 0;
}

bool IsWithinByIdentity(const std::vector<FileIdentity>& chain, const std::vector<FileIdentity>& folders) {
    for (const FileIdentity& link : chain) {
        if (!link.known) continue;
        for (const FileIdentity& folder : folders) {
            if (folder.known && folder.volume == link.volume && folder.index == link.index) return true;
        }
    }
    return false;
}

WideString TemporaryNameOf(const WideString& name, int attempt, size_t limit) {
    const WideString ending = (attempt > 1 ? L"~" + IntegerToText(attempt, 10) : WideString()) + L".brisk-restoring";
    return Cut(name, limit > ending.size() ? limit - ending.size() : 0) + ending;
}

bool IsRestoreLeftover(const WideString& name) { return WildcardMatch(ToLowerText(name), kRestoreTemporaryPattern); }

bool TriesAgain(unsigned long error, int attempt) {
    return (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) && attempt < kBusyAttempts;
}

uint64_t RoomNeeded(const std::vector<RoomItem>& items, bool replace, uint64_t clusterBytes) {
    uint64_t need = 0;
    for (const RoomItem& item : items) {
        if (!item.targetThere || replace) need += RoundUpToCluster(item.size, clusterBytes);
    }
    return need;
}

void CountRestored(RestoreTally* tally, RestoreOutcome outcome, uint64_t size) {
    if (outcome == RestoreOutcome::Restored) {
        ++tally->restored;
        tally->restoredBytes += size;
    } else if (outcome == RestoreOutcome::AlreadyThere) {
        ++tally->alreadyThere;
    } else {
        ++tally->notRestored;
    }
}

int RestoreExitStatus(const RestoreTally& tally) { return tally.notRestored == 0 && tally.foldersNotMade == 0 ? 0 : 1; }

WideString RestoreVerdictLine(const RestoreTally& tally, const WideString& shownTarget, uint64_t seconds) {
    const WideString files = SayCount(tally.restored, Message::FileOne, Message::FileMany);
    if (RestoreExitStatus(tally) == 0) {
        return Say(Message::RestoreComplete, {files, SizeText(tally.restoredBytes), shownTarget,
                                              GroupedText(tally.alreadyThere), GroupedText(seconds)});
    }
    return Say(Message::RestoreIncomplete,
               {files, SizeText(tally.restoredBytes), shownTarget, GroupedText(tally.notRestored + tally.foldersNotMade),
                GroupedText(tally.alreadyThere), GroupedText(seconds)});
}

void CountChecked(CheckTally* tally, RestoreOutcome outcome, uint64_t size) {
    if (outcome == RestoreOutcome::NotYetRecorded) {
        ++tally->notYetRecorded;
        return;
    }
    ++tally->files;
    tally->bytes += size;
    if (outcome != RestoreOutcome::Restored) ++tally->damaged;
}

int CheckExitStatus(const CheckTally& tally) { return tally.damaged == 0 ? 0 : 1; }

WideString CheckVerdictLine(const CheckTally& tally, const WideString& drive) {
    const WideString count = SayCount(tally.files, Message::FileOne, Message::FileMany);
    if (tally.damaged == 0) return Say(Message::CheckAllMatch, {count, SizeText(tally.bytes), drive});
    return Say(Message::CheckSomeBad, {count, SizeText(tally.bytes), drive, GroupedText(tally.damaged)});
}

WideString CheckedFileLine(RestoreOutcome outcome, const WideString& path, const WideString& problem) {
    switch (outcome) {
        case RestoreOutcome::Restored:
        case RestoreOutcome::NotYetRecorded: return WideString();
        case RestoreOutcome::Damaged: return Say(Message::CheckDamaged, {path});
        case RestoreOutcome::NoLine: return Say(Message::CheckNoLine, {path});
        case RestoreOutcome::Missing: return Say(Message::CheckMissing, {path});
        default: return Say(Message::CheckUnreadable, {path, problem});
    }
}

WideString NotRestoredLine(const RestoreResult& result, const WideString& shown, const WideString& computer) {
    switch (result.outcome) {
        case RestoreOutcome::Restored:
        case RestoreOutcome::AlreadyThere: return WideString();
        case RestoreOutcome::KeptExisting: return Say(Message::RestoreKeptExisting, {shown});
        case RestoreOutcome::Damaged: return Say(Message::RestoreDamaged, {shown});
        case RestoreOutcome::NoLine: return Say(Message::RestoreNoLine, {shown});
        case RestoreOutcome::Missing: return Say(Message::RestoreMissing, {shown});
        case RestoreOutcome::NoPlace: return Say(Message::RestoreNoPlace, {shown});
        case RestoreOutcome::OutsideFolders: return Say(Message::RestoreNotTried, {shown, ReasonNotTried(result.outcome, computer)});
        case RestoreOutcome::DriveMissing: return MissingDriveLine(shown, 1, false);
        case RestoreOutcome::VersionLost:
        case RestoreOutcome::NotYetRecorded: return Say(Message::RestoreNotTried, {shown, ReasonNotTried(result.outcome, computer)});
        case RestoreOutcome::Failed: break;
    }
    if (!result.keptAs.empty()) return Say(Message::RestoreFailedKeptAside, {shown, result.problem, result.keptAs});
    return Say(Message::RestoreFailed, {shown, result.problem});
}

WideString ReasonNotTried(RestoreOutcome outcome, const WideString& computer) {
    switch (outcome) {
        case RestoreOutcome::NoLine: return Say(Message::ReasonNoLine);
        case RestoreOutcome::Missing: return Say(Message::ReasonMissing);
        case RestoreOutcome::NoPlace: return Say(Message::ReasonNoPlace);
        case RestoreOutcome::OutsideFolders: return Say(Message::ReasonOutsideFolders, {computer});
        case RestoreOutcome::VersionLost: return Say(Message::ReasonVersionLost);
        default: return WideString();
    }
}

WideString MissingDriveLine(const WideString& folder, uint64_t files, bool listing) {
    return Say(listing ? Message::ListDriveMissing : Message::RestoreDriveMissing,
               {folder, SayCount(files, Message::FileOne, Message::FileMany), ShareRootOf(folder)});
}

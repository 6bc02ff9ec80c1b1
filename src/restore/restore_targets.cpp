#include "restore/restore_targets.h"

#include <map>
#include <set>
#include <unordered_set>

#include "common/windows_headers.h"
#include "config/directory_ops.h"
#include "stick/drive_room.h"
#include "plan/backup_plan.h"
#include "restore/restore_run.h"
#include "restore/target_checks.h"
#include "text/canonical_path.h"
#include "text/case_text.h"
#include "text/messages.h"
#include "text/path_text.h"

namespace {

// The folder a target belongs to, as the refusals name it: the restore's
// folder, or the backup's folder that holds it.
WideString FolderOf(const RestoreTargets& targets, const RestoreItem& item) {
    if (!targets.original) return targets.root;
    return OriginalOfPlace(PlaceHolding(item.file->relative, targets.places));
}

// What to try and what not, before anything is asked of the targets but
// whether their drives are there.
void SettleItems(const RestorePlan& plan, const RestoreTargets& targets, PreparedRestore* prepared) {
    std::map<WideString, bool> driveMissing;
    std::map<WideString, bool> folderInStick;
    std::map<WideString, size_t> missingIndex;
    for (const RestoreItem& item : plan.items) {
        PreparedItem one;
        one.item = &item;
        bool outside = false;
        bool missing = false;
        if (targets.original) {
            const WideString place = PlaceHolding(item.file->relative, targets.places);
            outside = item.target.empty() && place.empty() && !OriginalOfPlace(item.file->relative).empty();
            if (!item.target.empty()) {
                const WideString drive = ToLowerText(ShareRootOf(item.target));
                if (driveMissing.count(drive) == 0) driveMissing[drive] = DriveOfPathIsMissing(item.target);
                missing = driveMissing[drive];
            }
        }
        one.before = OutcomeBeforeWriting(item, outside, missing);
        const WideString folder = FolderOf(targets, item);
        if (one.before == RestoreOutcome::Restored && targets.original) {
            // A backed-up folder that is the stick's own has no place on this computer.
            const WideString key = FoldedKey(folder);
            if (folderInStick.count(key) == 0) {
                folderInStick[key] = IsInStickFolders(folder, targets.stickDrive, targets.stickFolders);
            }
            if (folderInStick[key]) one.before = RestoreOutcome::NoPlace;
        }
        if (one.before == RestoreOutcome::DriveMissing) {
            const auto found = missingIndex.find(FoldedKey(folder));
            if (found == missingIndex.end()) {
                missingIndex[FoldedKey(folder)] = prepared->missingDrives.size();
                prepared->missingDrives.push_back({folder, 1});
            } else {
                ++prepared->missingDrives[found->second].second;
            }
        }
        prepared->items.push_back(one);
    }
}

}  // namespace

RestoreTargets SystemRestoreTargets() {
    RestoreTargets targets;
    targets.readRoom = ReadRoom;
    targets.writeProblem = WriteProblemAt;
    return targets;
}

bool IsInStickFolders(const WideString& folder, const WideString& drive, const std::vector<FileIdentity>& stickFolders) {
    return IsInsideBackupFolders(folder, drive) || IsWithinByIdentity(IdentityChainOf(folder), stickFolders);
}

PreparedRestore PrepareRestore(const RestorePlan& plan, const RestoreTargets& targets, bool replace, bool probe) {
    PreparedRestore prepared;
    SettleItems(plan, targets, &prepared);
    std::unordered_set<WideString> plain;
    std::set<WideString> folders;        // each target's folder, once (folded)
    std::map<WideString, WideString> writeInto;  // the folders a probe asks about, by key
    std::map<WideString, std::vector<RoomItem>> byDrive;
    std::map<WideString, WideString> firstFolderOnDrive;
    for (const PreparedItem& one : prepared.items) {
        if (one.before != RestoreOutcome::Restored) continue;
        const RestoreItem& item = *one.item;
        const WideString shown = FolderOf(targets, item);
        const WideString link = FirstLinkOnTheWay(item.target, &plain);
        if (!link.empty()) {
            prepared.refusal = Say(Message::CantRestoreInto, {shown, Say(Message::ReasonLinkOnTheWay, {link})});
            return prepared;
        }
        writeInto.emplace(FoldedKey(shown), shown);
        const WideString folder = ParentPath(item.target);
        if (folders.insert(FoldedKey(folder)).second && DirectoryExists(folder)) {
            for (const WideString& leftover : LeftoversIn(folder)) prepared.leftovers.push_back(leftover);
        }
        const WideString drive = ToLowerText(ShareRootOf(item.target));
        RoomItem room;
        room.size = item.file->size;
        room.targetThere = GetFileAttributesW(LongPathForm(item.target).c_str()) != INVALID_FILE_ATTRIBUTES;
        byDrive[drive].push_back(room);
        firstFolderOnDrive.emplace(drive, shown);
    }
    // An empty folder is made through nothing that leads elsewhere either.
    for (const WideString& folder : plan.emptyFolders) {
        const WideString link = FirstLinkOnTheWay(folder, &plain);
        if (!link.empty()) {
            prepared.refusal = Say(Message::CantRestoreInto, {targets.original ? folder : targets.root,
                                                               Say(Message::ReasonLinkOnTheWay, {link})});
            return prepared;
        }
    }
    if (probe) {
        for (const auto& folder : writeInto) {
            const WideString problem = targets.writeProblem(folder.second);
            if (!problem.empty()) {
                prepared.refusal = Say(Message::CantRestoreInto, {folder.second, problem});
                return prepared;
            }
        }
    }
    for (const auto& drive : byDrive) {
        const WideString shown = firstFolderOnDrive[drive.first];
        BackupPlan room;
        WideString problem;
        if (!targets.readRoom(NearestExistingFolder(shown), &room, &problem)) {
            prepared.refusal = Say(Message::CantRestoreInto, {shown, problem});
            return prepared;
        }
        const uint64_t need = RoomNeeded(drive.second, replace, room.clusterBytes);
        if (need > room.freeBytes) {
            prepared.refusal = Say(Message::RestoreNoRoom, {shown, SizeText(need - room.freeBytes), ShareRootOf(shown)});
            return prepared;
        }
    }
    return prepared;
}

#include "plan/backup_plan.h"

#include <algorithm>

#include "text/canonical_path.h"
#include "text/number_text.h"
#include "text/path_text.h"
#include "text/messages.h"

void DecideFate(PlannedFolder* folder) {
    if (!folder->holds.empty()) folder->before.deleted.clear();
    const TreeComparison& before = folder->before;
    if (!before.Read()) {
        folder->fate = FolderFate::Unreadable;
        folder->reason = before.sourceProblem.empty() ? before.backupProblem : before.sourceProblem;
    } else if (before.files == 0 && !before.deleted.empty()) {
        folder->fate = FolderFate::KeptEmptied;
        folder->reason = Say(Message::FolderIsEmpty);
    } else {
        folder->fate = FolderFate::Mirror;
    }
}

WideString NoRoomReason(uint64_t need, uint64_t freeBytes, const WideString& drive) {
    return Say(Message::NeedsMoreRoom, {SizeText(need - freeBytes), drive});
}

StringList FoldersToStamp(const BackupPlan& plan) {
    StringList folders;
    for (const PlannedFolder& folder : plan.folders) {
        if (folder.fate != FolderFate::Mirror || !folder.verified) continue;
        if (!PathWithin(folder.destination, plan.computerFolder)) continue;
        for (WideString path = folder.destination; path.size() >= plan.computerFolder.size();
             path = ParentPath(path)) {
            folders.push_back(path);
        }
    }
    std::sort(folders.begin(), folders.end());
    folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
    return folders;
}

WideString CopiedSizeText(uint64_t bytes) {
    const int shift = bytes >= (uint64_t{1} << 30) ? 30 : 20;
    const uint64_t tenths = (bytes * 10 + (uint64_t{1} << (shift - 1))) >> shift;
    return IntegerToText(tenths / 10, 10) + L"." + IntegerToText(tenths % 10, 10) +
           (shift == 30 ? L" GB" : L" MB");
}

WideString SizeText(uint64_t bytes) {
    // Rounded up: a shortfall is never shown smaller than it is.
    const int shift = bytes >= (uint64_t{1} << 30) ? 30 : 20;
    const uint64_t tenths = (bytes * 10 + (uint64_t{1} << shift) - 1) >> shift;
    return IntegerToText(tenths / 10, 10) + L"." + IntegerToText(tenths % 10, 10) +
           (shift == 30 ? L" GB" : L" MB");
}

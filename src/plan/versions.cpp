#include "plan/versions.h"

#include <algorithm>
#include <cwchar>
#include <set>

#include "text/canonical_path.h"
#include "text/number_text.h"
#include "text/path_text.h"
#include "text/time_text.h"
#include "text/messages.h"

namespace {

const wchar_t kSetPattern[] = L"0000-00-00_000000";

}  // namespace

WideString VersionsFolderFor(const WideString& backupFolder) {
    return JoinPath(ParentPath(StripTrailingSeparator(backupFolder)), L"_Versions_");
}

WideString VersionsComputerFolder(const WideString& backupFolder, const WideString& computerName) {
    const WideString versions = VersionsFolderFor(backupFolder);
    const WideString folder = JoinPath(versions, computerName);
    const CanonicalPath canonical = CanonicalPathOf(folder, WideString());
    const bool plainName = !computerName.empty() && computerName.find_first_of(L"\\/") == kNoPosition &&
                           canonical.problem.empty() && canonical.path == folder;
    return plainName ? folder : WideString();
}

void SetBackupRoots(BackupPlan* plan, const WideString& backupFolder, const WideString& destinationForm,
                    const WideString& computerName) {
    plan->backupFolder = destinationForm;
    plan->computerFolder = JoinPath(destinationForm, computerName);
    plan->versionsFolder = VersionsComputerFolder(destinationForm, computerName);
    plan->drive = ShareRootOf(backupFolder);
}

WideString VersionSetName(const std::tm& localTime) { return FormatTime(L"%Y-%m-%d_%H%M%S", localTime); }

bool IsVersionSetName(const WideString& name) {
    if (name.size() != wcslen(kSetPattern)) return false;
    for (size_t i = 0; i < name.size(); ++i) {
        const bool digit = name[i] >= L'0' && name[i] <= L'9';
        if (kSetPattern[i] == L'0' ? !digit : name[i] != kSetPattern[i]) return false;
    }
    return true;
}

WideString VersionPlaceOf(const BackupPlan& plan, const PlannedFolder& folder) {
    const WideString own = PathBelow(folder.destination, plan.computerFolder);
    return own.empty() ? PathBelow(folder.destination, plan.backupFolder) : own;
}

std::vector<VersionMove> VersionMoves(const BackupPlan& plan, const PlannedFolder& folder,
                                      const WideString& setFolder) {
    std::vector<VersionMove> moves;
    const WideString place = JoinPath(setFolder, VersionPlaceOf(plan, folder));
    for (const auto* files : {&folder.before.overwritten, &folder.before.deleted}) {
        for (const BackupFile& file : *files) {
            const WideString source = files == &folder.before.overwritten ? JoinPath(folder.source, file.relative)
                                                                          : WideString();
            moves.push_back({JoinPath(folder.destination, file.relative), JoinPath(place, file.relative),
                             file.size, source, file.lastWrite});
        }
    }
    return moves;
}

uint64_t SetFoldersNeed(const std::vector<VersionMove>& moves, const WideString& setFolder,
                        uint64_t clusterBytes) {
    std::set<WideString> folders;
    for (const VersionMove& move : moves) {
        for (WideString folder = ParentPath(move.to); folder.size() >= setFolder.size(); folder = ParentPath(folder)) {
            if (!folders.insert(folder).second) break;
        }
    }
    return folders.size() * std::max<uint64_t>(clusterBytes, 1);
}

bool PutsBack(const VersionMove& move, const FileFacts& source, const FileFacts& backup,
              const CopyPolicy& policy) {
    if (move.source.empty()) return false;
    // An empty place goes back whether or not the source can still be reached.
    if (!backup.exists) return true;
    if (!source.exists) return false;
    return backup.size != source.size || !SameTime(policy, backup.lastWrite, source.lastWrite);
}

std::vector<VersionSet> SetsToRemove(std::vector<VersionSet> sets, uint64_t need, uint64_t freeBytes,
                                     const WideString& ownSet) {
    sets.erase(std::remove_if(sets.begin(), sets.end(), [&](const VersionSet& set) { return set.name == ownSet; }),
               sets.end());
    std::sort(sets.begin(), sets.end(), [](const VersionSet& a, const VersionSet& b) {
        return a.run != b.run ? a.run < b.run : a.name < b.name;
    });
    std::vector<VersionSet> removed;
    for (const VersionSet& set : sets) {
        if (need <= freeBytes) break;
        removed.push_back(set);
        freeBytes += set.bytes;
    }
    if (need > freeBytes) removed.clear();
    return removed;
}

WideString KeptVersionsLine(size_t files, const WideString& folder, const WideString& setFolder) {
    return Say(files == 1 ? Message::KeptVersionsOne : Message::KeptVersionsMany,
               {IntegerToText(files, 10), folder, setFolder});
}

WideString RemovedSetLine(const VersionSet& set) {
    return Say(Message::RemovedSet, {set.name, SizeText(set.bytes)});
}

WideString SetNotRemovedLine(const VersionSet& set, const WideString& reason) {
    return Say(Message::SetNotRemoved, {set.name, reason});
}

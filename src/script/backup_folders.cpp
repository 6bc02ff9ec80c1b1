#include "script/backup_folders.h"

#include "config/name_text.h"
#include "script/backup_confinement.h"
#include "script/backup_overlap.h"
#include "script/cmd_text.h"
#include "text/canonical_path.h"
#include "text/number_text.h"
#include "text/case_text.h"
#include "text/path_text.h"
#include "text/messages.h"

WideString CannotCarryReason(unsigned codePage) {
    return Say(Message::CannotCarry, {IntegerToText(codePage, 10)});
}

namespace {

WideString ClashReason(const WideString& backup, const WideString& other) {
    return Say(Message::OverlapsBackup, {backup, other});
}

bool MapsBelowBackupFolder(const WideString& backupFolder) {
    return EqualNoCase(FileNamePart(backupFolder), L"_Backup_");
}

PlannedFolder Refused(PlannedFolder folder, const WideString& reason) {
    folder.fate = FolderFate::Refused;
    folder.reason = reason;
    folder.destination.clear();
    folder.commandLine.clear();
    return folder;
}

// The folder's place and command, or the reason it gets none. The source
// and the destination are used in their canonical form, so that no
// spelling lets a mirror reach outside its own place.
PlannedFolder AssessFolder(CopySettings& job, const CommandLineContext& context,
                           const WideString& listed, BackupFolderRegister* backups, CopyFolders* folders) {
    PlannedFolder folder;
    folder.folder = listed;
    const CanonicalPath source = CanonicalPathOf(listed, WideString());
    if (!source.problem.empty()) return Refused(folder, source.problem);
    job.SetSource(source.path);
    CopyFolders copy = ResolveCopyFolders(job, context);
    const CanonicalPath backupFolder = CanonicalPathOf(copy.backupFolder, WideString());
    if (!backupFolder.problem.empty()) {
        return Refused(folder, Say(Message::BackupFolderProblem, {copy.backupFolder, backupFolder.problem}));
    }
    const CanonicalPath destination = CanonicalPathOf(copy.destination, WideString());
    if (!destination.problem.empty()) {
        return Refused(folder, Say(Message::ItsBackupFolderProblem, {copy.destination, destination.problem}));
    }
    copy.destination = StripTrailingSeparator(destination.path);
    if (MapsBelowBackupFolder(backupFolder.path)) {
        // The source as the copy names it (network form), canonical again.
        const WideString mapped = CanonicalPathOf(AppendSeparator(copy.source, L'\\'), WideString()).path;
        const WideString problem = ConfinementProblem(mapped, copy.destination, backupFolder.path,
                                                      context.computerName());
        if (!problem.empty()) return Refused(folder, problem);
    }
    folder.source = source.path;
    folder.destination = copy.destination;
    *folders = copy;
    folder.commandLine = CommandLineFor(job, copy);
    if (!FitsCodePage(folder.commandLine, context.scriptCodePage)) {
        return Refused(folder, CannotCarryReason(context.scriptCodePage));
    }
    const WideString other = backups->Accept(copy);
    if (!other.empty()) return Refused(folder, ClashReason(copy.destination, other));
    return folder;
}

}  // namespace

std::vector<PlannedFolder> ResolveBackupFolders(
    CopySettings& job, const CommandLineContext& context, const StringList& folders,
    const std::function<bool(const WideString&)>& isDirectory) {
    const WideString originalSource = job.Source();
    BackupFolderRegister backups;
    std::vector<PlannedFolder> planned;
    std::vector<CopyFolders> copies;
    for (const WideString& folder : RemoveDuplicateTexts(folders)) {
        if (folder.empty() || !isDirectory(folder)) continue;
        copies.emplace_back();
        planned.push_back(AssessFolder(job, context, folder, &backups, &copies.back()));
    }
    // A configured folder inside another folder's backup is refused; that
    // other folder's mirror would then purge it, so it is copied without
    // deleting anything.
    for (const PlannedFolder& refused : planned) {
        if (refused.fate != FolderFate::Refused) continue;
        const CanonicalPath inside = CanonicalPathOf(refused.folder, WideString());
        for (size_t i = 0; i < planned.size(); ++i) {
            PlannedFolder& holder = planned[i];
            if (holder.fate != FolderFate::Mirror || !inside.problem.empty() ||
                !PathWithin(inside.path, holder.destination) || !holder.holds.empty()) {
                continue;
            }
            // Left out of the copy on both sides, so that neither the
            // source's twin of it nor the mirror ever writes into it.
            // (A configured folder that is the whole backup folder can only
            // be kept by deleting nothing.)
            CopySettings keeping(job);
            keeping.SetSource(holder.source);
            keeping.SetMirror(false);
            keeping.SetPurge(false);
            holder.holds = inside.path;
            holder.commandLine = CommandLineFor(keeping, copies[i]);
            if (inside.path.size() > holder.destination.size()) {
                const WideString below = inside.path.substr(holder.destination.size() + 1);
                holder.commandLine =
                    WithFoldersLeftOut(holder.commandLine, {JoinPath(copies[i].source, below), inside.path});
                holder.skippedFolders.push_back(ToLowerText(below));
            }
        }
    }
    job.SetSource(originalSource);
    return planned;
}

WideString RefusalMessage(const WideString& folder, const WideString& reason) {
    return Say(Message::CantBackUp, {folder, reason});
}

WideString RefusalMessage(const PlannedFolder& folder) {
    return RefusalMessage(folder.source.empty() ? folder.folder : folder.source, folder.reason);
}

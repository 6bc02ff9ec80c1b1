#include "job/backup_run.h"

#include <ctime>
#include <iostream>

#include "config/directory_ops.h"
#include "config/folder_reasons.h"
#include "job/backup_check.h"
#include "job/backup_job.h"
#include "job/backup_setup.h"
#include "job/drive_room.h"
#include "job/tree_walk.h"
#include "job/version_keeping.h"
#include "plan/versions.h"
#include "script/backup_folders.h"
#include "script/command_line.h"
#include "script/text_files.h"
#include "text/console_output.h"
#include "text/path_text.h"
#include "trace/trace_log.h"

namespace {

// Compares every folder that may be mirrored with its backup and says
// which ones keep their backup; false when the copy must not start.
bool PlanCopies(const CopyPolicy& policy, BackupPlan* plan) {
    for (PlannedFolder& folder : plan->folders) {
        if (folder.fate == FolderFate::Refused) continue;
        folder.before = CompareTrees(policy, plan->clusterBytes, folder.source, folder.destination);
        DecideFate(&folder);
        if (folder.fate == FolderFate::Unreadable) ReportLine(NotBackedUpLine(folder.folder, folder.reason));
        if (folder.fate == FolderFate::Mirror && !folder.holds.empty()) {
            ReportLine(L"Nothing is deleted from the backup of " + folder.source +
                       L": it holds the configured folder " + folder.holds + L".");
        }
        if (folder.fate == FolderFate::KeptEmptied) {
            // Mirroring it would delete the only copy of its files.
            ReportLine(L"Kept the backup of " + folder.source +
                       L": the folder is empty, so nothing was deleted from its backup.");
        }
    }
    // Earlier versions make room before any folder is left out.
    MakeRoomFromVersions(plan);
    if (!AdmitFolders(plan)) {
        ReportLine(ShortfallLine(TotalNeed(*plan) - plan->freeBytes, plan->drive));
        return false;
    }
    for (const PlannedFolder& folder : plan->folders) {
        if (folder.fate == FolderFate::KeptNoRoom) ReportLine(NotBackedUpLine(folder.folder, folder.reason));
    }
    return true;
}

// Checks every copied folder against its source and says how each went.
BackupTally Verify(const CopyPolicy& policy, BackupPlan* plan) {
    BackupTally tally;
    PrintLine(WideString());
    for (PlannedFolder& folder : plan->folders) {
        if (folder.fate != FolderFate::Mirror && folder.fate != FolderFate::KeptEmptied) {
            ++tally.notBackedUp;
            continue;
        }
        const TreeComparison after = CompareTrees(policy, 0, folder.source, folder.destination);
        ReportLine(VerificationLine(folder.source, after));
        for (const WideString& big : after.overSizeCap) {
            ReportLine(L"    " + JoinPath(folder.source, big) + L"  (not copied: larger than 4 GB)");
        }
        folder.verified = VerifiedComplete(after);
        ++tally.folders;
        tally.files += after.files;
        tally.missingFiles += after.MissingOrOlder();
        if (!folder.verified) ++tally.incompleteFolders;
    }
    return tally;
}

}  // namespace

BackupOutcome SetUpAndRunBackup(const StringList& folders, const WideString& backupRoot,
                                size_t notBackedUp, BackupPlan* plan) {
    const std::time_t now = std::time(nullptr);
    const std::tm startTime = *std::localtime(&now);
    HostFoldersJob job;
    const WideString backupFolder = BackupDestinationFor(backupRoot);
    ApplyBackupPolicy(job, backupFolder);
    const CopyPolicy policy = PolicyOf(job);
    plan->backupFolder = backupFolder;
    plan->computerFolder = JoinPath(backupFolder, ComputerName());
    plan->drive = ShareRootOf(backupFolder);
    plan->versionsFolder = VersionsComputerFolder(backupFolder, ComputerName());

    const WideString problem = WriteProblemOf(plan->computerFolder);
    if (!problem.empty()) {
        ReportLine(L"Can't write the backup to " + backupRoot + L": " + problem);
        return BackupOutcome::NotMade;
    }
    plan->folderList = folders;
    plan->folders = ResolveBackupFolders(job, job.Context(), folders, DirectoryExists);
    for (const PlannedFolder& folder : plan->folders) {
        if (folder.fate != FolderFate::Refused) continue;
        std::wcerr << RefusalMessage(folder) << std::endl;
        ReportLine(NotBackedUpLine(folder.folder, folder.reason));
    }
    WideString roomProblem;
    if (!ReadRoom(backupFolder, plan, &roomProblem)) {
        ReportLine(L"Can't read the free space of " + plan->drive + L" (" + roomProblem + L")");
        return BackupOutcome::NotMade;
    }
    if (!PlanCopies(policy, plan)) return BackupOutcome::NotMade;

    const std::vector<VersionMove> kept = KeepEarlierVersions(plan, startTime);
    job.BuildPlanScript(plan->folders);
    if (!job.Run(SW_SHOWMAXIMIZED, true)) {
        // Nothing was copied: the backup gets back what was kept aside for it.
        PutBackEarlierVersions(kept, *plan);
        return BackupOutcome::NotMade;
    }

    BackupTally tally = Verify(policy, plan);
    tally.notBackedUp += notBackedUp;
    const WideString listProblem = ReplaceFolderListFile(plan->folderList, backupRoot);
    if (!listProblem.empty()) {
        ReportLine(L"Can't write the folder list " + FolderListFilePath(backupRoot) + L": " + listProblem);
        tally.folderListWritten = false;
    }
    ReportLine(VerdictLine(tally));
    return tally.Complete() ? BackupOutcome::Complete : BackupOutcome::Incomplete;
}

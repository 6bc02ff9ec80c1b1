#include "plan/backup_plan.h"

#include <gtest/gtest.h>

namespace {

constexpr uint64_t kMiB = 1 << 20;

PlannedFolder Folder(const WideString& source, uint64_t need, FolderFate fate = FolderFate::Mirror) {
    PlannedFolder folder;
    folder.folder = folder.source = source;
    folder.destination = L"E:\\_Backup_\\PC01\\C" + source.substr(2);
    folder.fate = fate;
    folder.before.need = need;
    return folder;
}

TEST(BackupPlan, EachComparisonGivesAFate) {
    const auto fate = [](TreeComparison before) {
        PlannedFolder folder;
        folder.before = before;
        DecideFate(&folder);
        return std::make_pair(folder.fate, folder.reason);
    };
    TreeComparison gone;
    gone.sourceProblem = L"the folder is gone";
    TreeComparison backupUnreadable;
    backupUnreadable.backupProblem = L"its backup could not be read: Access is denied";
    TreeComparison emptied;
    emptied.deleted = {{L"a.txt", 1}};
    TreeComparison emptyBoth;
    TreeComparison changed = emptied;
    changed.files = 1;
    EXPECT_EQ(fate(gone), std::make_pair(FolderFate::Unreadable, WideString(L"the folder is gone")));
    EXPECT_EQ(fate(backupUnreadable).first, FolderFate::Unreadable);
    EXPECT_EQ(fate(backupUnreadable).second, backupUnreadable.backupProblem);
    EXPECT_EQ(fate(emptied), std::make_pair(FolderFate::KeptEmptied, WideString(L"the folder is empty")));
    EXPECT_EQ(fate(emptyBoth).first, FolderFate::Mirror);
    EXPECT_EQ(fate(changed).first, FolderFate::Mirror);
}

TEST(BackupPlan, FoldersAreAdmittedInOrderWhileTheyFit) {
    BackupPlan plan;
    plan.drive = L"E:";
    plan.freeBytes = 5 * kMiB;
    plan.folders = {Folder(L"C:\\big", 5 * kMiB + 2411724), Folder(L"C:\\small", 3 * kMiB),
                    Folder(L"C:\\same", 0), Folder(L"C:\\refused", 9 * kMiB, FolderFate::Refused),
                    Folder(L"C:\\more", 3 * kMiB), Folder(L"C:\\last", 2 * kMiB)};
    EXPECT_TRUE(AdmitFolders(&plan));
    const FolderFate expected[] = {FolderFate::KeptNoRoom, FolderFate::Mirror, FolderFate::Mirror,
                                   FolderFate::Refused, FolderFate::KeptNoRoom, FolderFate::Mirror};
    for (size_t i = 0; i < plan.folders.size(); ++i) {
        EXPECT_EQ(plan.folders[i].fate, expected[i]) << plan.folders[i].source;
    }
    EXPECT_EQ(plan.folders[0].reason, L"needs 2.3 MB more than E: has free");
    EXPECT_EQ(plan.folders[4].reason, L"needs 1.0 MB more than E: has free");
    EXPECT_EQ(TotalNeed(plan), (5 + 3 + 3 + 2) * kMiB + 2411724);

    // When nothing that has something to copy fits, nothing is copied;
    // folders with nothing to copy never stop a run.
    BackupPlan full;
    full.folders = {Folder(L"C:\\a", 1), Folder(L"C:\\b", 0)};
    EXPECT_FALSE(AdmitFolders(&full));
    BackupPlan upToDate;
    upToDate.folders = {Folder(L"C:\\a", 0)};
    EXPECT_TRUE(AdmitFolders(&upToDate));
    EXPECT_EQ(SizeText(3435973836), L"3.2 GB");
    EXPECT_EQ(SizeText(1), L"0.1 MB");
}

TEST(BackupPlan, OnlyThisComputersVerifiedMirrorsAreStamped) {
    BackupPlan plan;
    plan.computerFolder = L"E:\\_Backup_\\PC01";
    plan.folders = {Folder(L"C:\\KORV\\Master", 0), Folder(L"C:\\KORV\\Data", 0),
                    Folder(L"C:\\unverified", 0), Folder(L"C:\\kept", 0, FolderFate::KeptNoRoom),
                    Folder(L"C:\\refused", 0, FolderFate::Refused), Folder(L"C:\\share", 0)};
    for (PlannedFolder& folder : plan.folders) folder.verified = folder.source != L"C:\\unverified";
    plan.folders[5].destination = L"E:\\_Backup_\\FILESRV\\share\\x";  // a share's backup
    plan.folders[4].destination = L"E:\\_Backup_\\PC02\\C\\x";           // never planned so, but kept out
    EXPECT_EQ(FoldersToStamp(plan),
              (StringList{L"E:\\_Backup_\\PC01", L"E:\\_Backup_\\PC01\\C", L"E:\\_Backup_\\PC01\\C\\KORV",
                          L"E:\\_Backup_\\PC01\\C\\KORV\\Data", L"E:\\_Backup_\\PC01\\C\\KORV\\Master"}));
}

}  // namespace

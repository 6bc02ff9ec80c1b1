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

TEST(BackupPlan, AFolderLeftOutForRoomSaysByHowMuch) {
    EXPECT_EQ(NoRoomReason(5 * kMiB + 2411724, 5 * kMiB, L"E:"), L"needs 2.3 MB more than E: has free");
    EXPECT_EQ(NoRoomReason(3 * kMiB, 2 * kMiB, L"\\\\srv\\s"), L"needs 1.0 MB more than \\\\srv\\s has free");
    EXPECT_EQ(SizeText(3435973836), L"3.2 GB");
    EXPECT_EQ(SizeText(1), L"0.1 MB");
    // What was copied is rounded to the nearest tenth instead.
    const struct {
        uint64_t bytes;
        const wchar_t* text;
    } copied[] = {{0, L"0.0 MB"}, {22, L"0.0 MB"}, {52428, L"0.0 MB"}, {52429, L"0.1 MB"},
                  {3000000, L"2.9 MB"}, {3435973836, L"3.2 GB"}};
    for (const auto& c : copied) EXPECT_EQ(CopiedSizeText(c.bytes), c.text) << c.bytes;
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

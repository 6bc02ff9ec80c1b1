#include "plan/versions.h"

#include <gtest/gtest.h>

namespace {

constexpr uint64_t kMiB = 1 << 20;

TEST(Versions, WhereSetsLieAndHowTheyAreNamed) {
    EXPECT_EQ(VersionsFolderFor(L"F:\\_Backup_"), L"F:\\_Versions_");
    EXPECT_EQ(VersionsFolderFor(L"\\\\srv\\s\\_Backup_"), L"\\\\srv\\s\\_Versions_");
    EXPECT_EQ(VersionsFolderFor(L"C:\\Users\\u\\Temp\\Quillon.tmp\\_Backup_"),
              L"C:\\Users\\u\\Temp\\Quillon.tmp\\_Versions_");
    EXPECT_EQ(VersionsComputerFolder(L"F:\\_Backup_", L"PC01"), L"F:\\_Versions_\\PC01");
    for (const wchar_t* bad : {L"", L"..", L".", L"a\\b", L"x.", L"a:b"}) {
        EXPECT_EQ(VersionsComputerFolder(L"F:\\_Backup_", bad), L"") << bad;
    }
    std::tm time = {};
    time.tm_year = 2026 - 1900;
    time.tm_mon = 11;
    time.tm_mday = 7;
    time.tm_hour = 18;
    time.tm_min = 30;
    time.tm_sec = 5;
    EXPECT_EQ(VersionSetName(time), L"2026-12-07_183005");
    EXPECT_TRUE(IsVersionSetName(L"2026-12-07_183005"));
    for (const wchar_t* other : {L"2026-12-07", L"2026-12-07_18300", L"2026-12-07 183005", L"notes", L"2026-1a-07_183005"}) {
        EXPECT_FALSE(IsVersionSetName(other)) << other;
    }
}

TEST(Versions, EachFileKeepsItsPathBelowTheComputersBackup) {
    BackupPlan plan;
    plan.backupFolder = L"E:\\_Backup_";
    plan.computerFolder = L"E:\\_Backup_\\PC01";
    PlannedFolder data;
    data.destination = L"E:\\_Backup_\\PC01\\C\\KORV\\Data";
    data.before.overwritten = {{L"sheet.xls", 10}};
    data.before.deleted = {{L"old\\gone.txt", 3}};
    const std::vector<VersionMove> moves = VersionMoves(plan, data, L"E:\\_Versions_\\PC01\\2026-12-07_183000");
    ASSERT_EQ(moves.size(), 2u);
    EXPECT_EQ(moves[0].from, L"E:\\_Backup_\\PC01\\C\\KORV\\Data\\sheet.xls");
    EXPECT_EQ(moves[0].to, L"E:\\_Versions_\\PC01\\2026-12-07_183000\\C\\KORV\\Data\\sheet.xls");
    EXPECT_EQ(moves[1].to, L"E:\\_Versions_\\PC01\\2026-12-07_183000\\C\\KORV\\Data\\old\\gone.txt");
    PlannedFolder shared;
    shared.destination = L"E:\\_Backup_\\fs\\share\\x";
    EXPECT_EQ(VersionPlaceOf(plan, shared), L"fs\\share\\x");
    EXPECT_EQ(KeptVersionsLine(3, L"C:\\KORV\\Data", L"E:\\_Versions_\\PC01\\2026-12-07_183000"),
              L"Kept 3 earlier files of C:\\KORV\\Data in E:\\_Versions_\\PC01\\2026-12-07_183000");
    EXPECT_EQ(KeptVersionsLine(1, L"C:\\d", L"S"), L"Kept 1 earlier file of C:\\d in S");
}

TEST(Versions, OldestSetsGoFirstAndOnlyUntilTheCopyFits) {
    const std::vector<VersionSet> sets = {{L"2026-11-02_183000", 12 * kMiB},
                                          {L"2026-10-01_090000", 5 * kMiB},
                                          {L"2026-12-01_120000", 7 * kMiB}};
    const auto names = [](const std::vector<VersionSet>& removed) {
        StringList list;
        for (const VersionSet& set : removed) list.push_back(set.name);
        return list;
    };
    EXPECT_EQ(names(SetsToRemove(sets, 10 * kMiB, 20 * kMiB, L"")), StringList{});
    EXPECT_EQ(names(SetsToRemove(sets, 10 * kMiB, 6 * kMiB, L"")), StringList{L"2026-10-01_090000"});
    EXPECT_EQ(names(SetsToRemove(sets, 20 * kMiB, 6 * kMiB, L"")),
              (StringList{L"2026-10-01_090000", L"2026-11-02_183000"}));
    // Removing sets that would still not let the folder in would only destroy them.
    EXPECT_EQ(names(SetsToRemove(sets, 31 * kMiB, 6 * kMiB, L"")), StringList{});
    EXPECT_EQ(SetsToRemove(sets, 30 * kMiB, 6 * kMiB, L"").size(), 3u);
    // The run's own set, holding what this run kept, is never removed.
    EXPECT_EQ(names(SetsToRemove(sets, 12 * kMiB, 0, L"2026-10-01_090000")), StringList{L"2026-11-02_183000"});
    EXPECT_EQ(names(SetsToRemove(sets, 20 * kMiB, 0, L"2026-12-01_120000")), StringList{});
    EXPECT_EQ(RemovedSetLine({L"2026-11-02_183000", 12897484}),
              L"Removed the earlier versions of 2026-11-02_183000 (12.3 MB) to make room");
}

TEST(Versions, OnAMappedDriveVersionPlacesComeFromTheNetworkForm) {
    BackupPlan plan;
    SetBackupRoots(&plan, L"E:\\_Backup_", L"\\\\srv\\s\\_Backup_", L"PC01");
    EXPECT_EQ(plan.computerFolder, L"\\\\srv\\s\\_Backup_\\PC01");
    EXPECT_EQ(plan.versionsFolder, L"\\\\srv\\s\\_Versions_\\PC01");
    EXPECT_EQ(plan.drive, L"E:");
    PlannedFolder data;
    data.source = L"C:\\KORV\\Data";
    data.destination = L"\\\\srv\\s\\_Backup_\\PC01\\C\\KORV\\Data";
    data.before.overwritten = {{L"a.txt", 1}};
    data.before.deleted = {{L"sub\\a.txt", 1}};
    const WideString set = L"\\\\srv\\s\\_Versions_\\PC01\\2026-12-07_183000";
    const std::vector<VersionMove> moves = VersionMoves(plan, data, set);
    ASSERT_EQ(moves.size(), 2u);
    EXPECT_EQ(moves[0].to, set + L"\\C\\KORV\\Data\\a.txt");
    EXPECT_EQ(moves[0].source, L"C:\\KORV\\Data\\a.txt");
    EXPECT_EQ(moves[1].to, set + L"\\C\\KORV\\Data\\sub\\a.txt");
    EXPECT_EQ(moves[1].source, L"");
    // The set's folders: the set, C, KORV, Data and sub, one cluster each.
    EXPECT_EQ(SetFoldersNeed(moves, set, 4096), 5u * 4096);
    EXPECT_EQ(SetFoldersNeed({}, set, 4096), 0u);
}

TEST(Versions, AKeptFileGoesBackWhenItsReplacementDidNotLandWhole) {
    CopyPolicy fat;
    fat.timeTolerance = 20000000;
    const VersionMove overwritten{L"E:\\b\\x", L"E:\\v\\x", 5, L"C:\\s\\x"};
    const VersionMove deleted{L"E:\\b\\y", L"E:\\v\\y", 5, L""};
    const FileFacts source{true, 10, 1000000000};
    const FileFacts gone{};
    struct Case {
        const VersionMove& move;
        FileFacts source;
        FileFacts backup;
        bool putsBack;
    } cases[] = {
        {overwritten, source, {true, 10, 1000000000}, false},   // copied whole
        {overwritten, source, {true, 10, 1010000000}, false},   // within FAT's two seconds
        {overwritten, source, gone, true},                      // the copy failed
        {overwritten, source, {true, 4, 1000000000}, true},     // a partial file
        {overwritten, source, {true, 10, 1030000000}, true},    // another time
        {overwritten, gone, gone, true},                        // the source dropped mid-copy: the place is empty
        {overwritten, gone, {true, 4, 1000000000}, false},      // a file stands there; no source to judge it by
        {deleted, gone, gone, false},                           // the copy deleted it
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PutsBack(c.move, c.source, c.backup, fat), c.putsBack)
            << c.move.from << " " << c.backup.exists << " " << c.backup.size << " " << c.backup.lastWrite;
    }
}

}  // namespace

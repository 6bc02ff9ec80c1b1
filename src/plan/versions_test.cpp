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
    EXPECT_EQ(names(SetsToRemove(sets, 10 * kMiB, 20 * kMiB)), StringList{});
    EXPECT_EQ(names(SetsToRemove(sets, 10 * kMiB, 6 * kMiB)), StringList{L"2026-10-01_090000"});
    EXPECT_EQ(names(SetsToRemove(sets, 20 * kMiB, 6 * kMiB)),
              (StringList{L"2026-10-01_090000", L"2026-11-02_183000"}));
    EXPECT_EQ(SetsToRemove(sets, 100 * kMiB, 0).size(), 3u);
    // Removing sets that would still let nothing in would only destroy them.
    BackupPlan plan;
    plan.freeBytes = 1 * kMiB;
    plan.folders.resize(2);
    plan.folders[0].before.need = 50 * kMiB;
    plan.folders[1].before.need = 0;
    EXPECT_FALSE(RemovingSetsHelps(plan, 24 * kMiB));
    EXPECT_TRUE(RemovingSetsHelps(plan, 49 * kMiB));
    plan.folders[0].fate = FolderFate::Refused;
    EXPECT_FALSE(RemovingSetsHelps(plan, 49 * kMiB));
    EXPECT_EQ(RemovedSetLine({L"2026-11-02_183000", 12897484}),
              L"Removed the earlier versions of 2026-11-02_183000 (12.3 MB) to make room");
}

}  // namespace

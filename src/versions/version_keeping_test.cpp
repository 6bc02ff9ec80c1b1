#include "versions/version_keeping.h"

#include <gtest/gtest.h>

#include "common/windows_headers.h"

#include "test_support.h"
#include "walk/tree_walk.h"

namespace {

// An outer folder's copy failed and its kept file went back into the
// backup: a folder planned later (an inner one) must keep it again.
TEST(VersionSetOfRun, AFilePutBackCanBeKeptAgainByALaterFolder) {
    ScopedTempFolder temp;
    const WideString backup = temp.Join(L"b");
    const WideString set = temp.Join(L"v\\PC01\\2026-12-07_183000");
    ASSERT_TRUE(CreateDirectoryW(backup.c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(backup + L"\\x.txt", "old"));
    const std::vector<VersionMove> moves = {{backup + L"\\x.txt", set + L"\\x.txt", 3, temp.Join(L"s\\x.txt")}};
    std::tm start = {};
    VersionSetOfRun run(temp.Join(L"v\\PC01"), start);
    ASSERT_EQ(MoveIntoSet(moves, set), L"");
    run.Remember(moves);
    EXPECT_TRUE(run.NotYetMoved(moves).empty());

    run.Forget(moves);  // still in the set: remembered
    EXPECT_TRUE(run.NotYetMoved(moves).empty());
    PutBack(moves, set);
    EXPECT_TRUE(FactsOf(backup + L"\\x.txt").exists);
    run.Forget(moves);
    EXPECT_EQ(run.NotYetMoved(moves).size(), 1u);
}

// What a run added is recorded beside its set's name, even when it keeps
// no set: a later run of the same second takes the next name, and removing
// the set for room removes its record and its list with it.
TEST(VersionSetOfRun, TheRecordOfAddedFilesTakesTheSetsNameAndGoesWithIt) {
    ScopedTempFolder temp;
    const WideString versions = temp.Join(L"_Versions_\\PC01");
    std::tm start = {};
    start.tm_year = 2026 - 1900;
    start.tm_mon = 11;
    start.tm_mday = 7;
    start.tm_hour = 18;
    start.tm_min = 30;
    VersionSetOfRun first(versions, start);
    const WideString set = first.Folder();
    ASSERT_EQ(AppendToAddedRecord(set, "C/KORV/a.txt\n"), L"");
    ASSERT_EQ(AppendToAddedRecord(set, "C/KORV/日本.txt\n"), L"");
    EXPECT_EQ(ReadFileBytes(set + L".added"), "C/KORV/a.txt\nC/KORV/日本.txt\n");
    EXPECT_FALSE(FactsOf(set).exists);
    VersionSetOfRun second(versions, start);
    EXPECT_EQ(second.Folder(), versions + L"\\2026-12-07_183001");

    // An older run that only added files: its record goes with the set too,
    // a newer one's stays.
    ASSERT_TRUE(WriteFileBytes(versions + L"\\2026-12-06_090000.added", "C/KORV/b.txt\n"));
    ASSERT_TRUE(WriteFileBytes(versions + L"\\2026-12-08_090000.added", "C/KORV/c.txt\n"));
    ASSERT_TRUE(CreateDirectoryW(set.c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(set + L"\\kept.txt", "old"));
    ASSERT_TRUE(WriteFileBytes(set + L".sha256", "list"));
    BackupPlan plan;
    plan.backupFolder = temp.Join(L"_Backup_");
    plan.versionsFolder = versions;
    const std::vector<VersionSet> sets = VersionSetsOnDrive(plan);
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_EQ(RemoveVersionSets(sets, &plan).removed.size(), 1u);
    EXPECT_FALSE(FactsOf(set + L".added").exists);
    EXPECT_FALSE(FactsOf(set + L".sha256").exists);
    EXPECT_FALSE(FactsOf(versions + L"\\2026-12-06_090000.added").exists);
    EXPECT_TRUE(FactsOf(versions + L"\\2026-12-08_090000.added").exists);
}

}  // namespace

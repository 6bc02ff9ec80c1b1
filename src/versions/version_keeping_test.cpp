#include "versions/version_keeping.h"

#include <gtest/gtest.h>

#include "common/windows_headers.h"

#include "config/directory_ops.h"
#include "records/run_journal.h"
#include "records/run_journal_file.h"
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

// A run's record takes its set's name, even when it keeps no set: a later
// run of the same second takes the next name. Removing a set for room
// removes its list with it and keeps its run's record (that run's point is
// still offered), and removes the records of older runs that kept no set
// (by run number, whatever the clock said); a newer one stays.
TEST(VersionSetOfRun, TheRunsRecordTakesTheSetsNameAndGoesWithIt) {
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
    const auto record = [](uint64_t run, const WideString& name) {
        return JournalHead(run, L"2026-12-07 18:30:00", name) + "end\tcomplete\t0\n";
    };
    ASSERT_TRUE(CreateDirectoryTree(versions));
    ASSERT_TRUE(WriteFileBytes(RunJournalOf(set), record(5, L"2026-12-07_183000")));
    EXPECT_FALSE(FactsOf(set).exists);
    VersionSetOfRun second(versions, start);
    EXPECT_EQ(second.Folder(), versions + L"\\2026-12-07_183001");

    // Named later by a clock set back, run 4 is older than run 5: it goes;
    // run 6, named earlier, stays, and so does the set of another name.
    ASSERT_TRUE(WriteFileBytes(versions + L"\\2026-12-09_090000.run.txt", record(4, L"2026-12-09_090000")));
    ASSERT_TRUE(WriteFileBytes(versions + L"\\2026-12-01_090000.run.txt", record(6, L"2026-12-01_090000")));
    ASSERT_TRUE(WriteFileBytes(versions + L"\\2026-12-06_090000.added", "C/KORV/b.txt\n"));
    ASSERT_TRUE(CreateDirectoryW(set.c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(set + L"\\kept.txt", "old"));
    ASSERT_TRUE(WriteFileBytes(set + L".sha256", "list"));
    BackupPlan plan;
    plan.backupFolder = temp.Join(L"_Backup_");
    plan.versionsFolder = versions;
    const std::vector<VersionSet> sets = VersionSetsOnDrive(plan);
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_EQ(sets[0].run, 5u);
    EXPECT_EQ(RemoveVersionSets(sets, &plan).removed.size(), 1u);
    EXPECT_TRUE(FactsOf(RunJournalOf(set)).exists);
    EXPECT_FALSE(FactsOf(set + L".sha256").exists);
    EXPECT_FALSE(FactsOf(versions + L"\\2026-12-09_090000.run.txt").exists);
    EXPECT_FALSE(FactsOf(versions + L"\\2026-12-06_090000.added").exists);
    EXPECT_TRUE(FactsOf(versions + L"\\2026-12-01_090000.run.txt").exists);
}

}  // namespace

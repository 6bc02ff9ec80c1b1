#include "verify/backup_lists.h"

#include <gtest/gtest.h>

#include "common/windows_headers.h"
#include "config/directory_ops.h"
#include "records/run_journal.h"
#include "records/run_journal_file.h"
#include "test_support.h"
#include "verify/checksum_files.h"

namespace {

// Lists that could not be read to their end are never saved over: their
// lines beyond the place that failed would be lost for good. Lists that
// were read whole are, and they note the run record they hold.
TEST(BackupLists, ListsThatCouldNotBeReadWholeAreNeverSavedOver) {
    ScopedTempFolder temp;
    const WideString computer = temp.Join(L"_Backup_\\PC01");
    ASSERT_TRUE(CreateDirectoryTree(computer));
    const std::string hex(64, 'a');
    ASSERT_TRUE(WriteFileBytes(ChecksumListOf(computer), hex + "  C/a.txt\n"));
    ASSERT_TRUE(WriteFileBytes(RunsListOf(computer), "run 4\n1 2 3 C/a.txt\n"));
    {
        // Another program holds the runs list while the run reads it.
        HANDLE held = CreateFileW(RunsListOf(computer).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        BackupLists lists(computer);
        CloseHandle(held);
        EXPECT_FALSE(lists.ReadWhole());
        const std::vector<BackupLists::SaveProblem> problems = lists.Save(WideString(), 5);
        ASSERT_EQ(problems.size(), 1u);
        EXPECT_EQ(problems[0].list, ChecksumListOf(computer));
        EXPECT_EQ(ReadFileBytes(ChecksumListOf(computer)), hex + "  C/a.txt\n");
        EXPECT_EQ(ReadFileBytes(RunsListOf(computer)), "run 4\n1 2 3 C/a.txt\n");
    }
    BackupLists lists(computer);
    EXPECT_TRUE(lists.ReadWhole());
    EXPECT_TRUE(lists.Save(WideString(), 5).empty());
    EXPECT_EQ(ReadFileBytes(RunsListOf(computer)).substr(0, 15), "run 5\nrecord 5\n");
    EXPECT_EQ(BackupLists(computer).Book().RecordedRun(), 5u);
}

// A run's number is one more than the highest record's; while a record
// cannot be read (held by another program), the number cannot be known.
TEST(RunJournalFile, ARunIsNumberedOnlyWhenEveryRecordReads) {
    ScopedTempFolder temp;
    const WideString versions = temp.Join(L"_Versions_\\PC01");
    ASSERT_TRUE(CreateDirectoryTree(versions));
    ASSERT_TRUE(WriteFileBytes(versions + L"\\2026-12-07_183000.run.txt", JournalHead(3, L"x", L"2026-12-07_183000")));
    ASSERT_TRUE(WriteFileBytes(versions + L"\\2026-12-01_090000.run.txt", JournalHead(4, L"x", L"2026-12-01_090000")));
    ASSERT_TRUE(WriteFileBytes(versions + L"\\2026-12-02_090000.run.txt", "not a record\n"));
    uint64_t highest = 0;
    WideString problem;
    EXPECT_TRUE(HighestRecordedRun(versions, &highest, &problem));
    EXPECT_EQ(highest, 4u);
    HANDLE held = CreateFileW((versions + L"\\2026-12-01_090000.run.txt").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    EXPECT_FALSE(HighestRecordedRun(versions, &highest, &problem));
    EXPECT_NE(problem.find(L"2026-12-01_090000.run.txt"), WideString::npos) << problem;
    CloseHandle(held);
}

}  // namespace

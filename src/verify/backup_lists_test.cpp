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

int64_t LastWriteOf(const WideString& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return static_cast<int64_t>((uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime);
}

// A run that only read files back changes their runs, not their checksums:
// the checksum list stays as it is on the stick, the runs list is written.
// A changed checksum, or a line the book leaves out, writes it anew.
TEST(BackupLists, AChecksumListWhoseLinesStayIsNotWrittenAgain) {
    ScopedTempFolder temp;
    const WideString computer = temp.Join(L"_Backup_\\PC01");
    ASSERT_TRUE(CreateDirectoryTree(computer));
    const std::string a(64, 'a'), b(64, 'b'), c(64, 'c');
    const std::string lines = a + "  C/a.txt\n" + b + "  C/b.txt\n";
    ASSERT_TRUE(WriteFileBytes(ChecksumListOf(computer), lines));
    ASSERT_TRUE(WriteFileBytes(RunsListOf(computer), "run 4\n1 2 3 C/a.txt\n1 2 3 C/b.txt\n"));
    const auto setOld = [&] {
        HANDLE file = CreateFileW(ChecksumListOf(computer).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        const FILETIME old = {0x12345678, 0x01C00000};
        EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &old));
        CloseHandle(file);
        EXPECT_EQ(0x01C0000012345678, LastWriteOf(ChecksumListOf(computer)));
        return LastWriteOf(ChecksumListOf(computer));
    };
    int64_t old = setOld();
    {
        BackupLists lists(computer);
        lists.Checked(*lists.Book().Find(L"C\\a.txt"));
        EXPECT_TRUE(lists.Save(WideString(), 0).empty());
        EXPECT_EQ(old, LastWriteOf(ChecksumListOf(computer)));
        EXPECT_EQ("run 5\n1 2 5 C/a.txt\n1 2 3 C/b.txt\n", ReadFileBytes(RunsListOf(computer)));
    }
    // The same lines in other bytes (ended by CR LF) are written anew too.
    for (const std::string& changed : {a + "  C/a.txt\n" + c + "  C/b.txt\n", a + "  C/a.txt\n" + b + "  C/b.txt\nnot a line\n",
                                       a + "  C/a.txt\r\n" + b + "  C/b.txt\r\n"}) {
        ASSERT_TRUE(WriteFileBytes(ChecksumListOf(computer), changed));
        old = setOld();
        BackupLists lists(computer);
        ChecksumRecord record = *lists.Book().Find(L"C\\b.txt");
        ASSERT_TRUE(DigestFromHex(WideString(b.begin(), b.end()), &record.digest));
        lists.Book().Put(record);
        EXPECT_TRUE(lists.Save(WideString(), 0).empty());
        EXPECT_NE(old, LastWriteOf(ChecksumListOf(computer)));
        EXPECT_EQ(lines, ReadFileBytes(ChecksumListOf(computer)));
    }
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

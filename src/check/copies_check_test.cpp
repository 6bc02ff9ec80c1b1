#include "check/copies_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>

#include "common/windows_headers.h"
#include "config/directory_ops.h"
#include "backup/folder_lines.h"
#include "check/rolling_check.h"
#include "walk/tree_walk.h"
#include "test_support.h"
#include "text/messages.h"
#include "text/path_text.h"
#include "verify/checksum_files.h"

namespace {

void PutBackTime(const WideString& path, int64_t lastWrite) {
    HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    FILETIME time = {static_cast<DWORD>(lastWrite), static_cast<DWORD>(static_cast<uint64_t>(lastWrite) >> 32)};
    SetFileTime(file, nullptr, nullptr, &time);
    CloseHandle(file);
}

// A folder of 300 files and its backup on a stand-in stick. The check after
// a copy reads the copies a batch at a time beside their sources, the last
// batch once the walk has ended; the next run's rolling check reads its
// picks ahead, on its own thread, and still finds the copy that changed.
TEST(ReadBack, CopiesAreReadInBatchesAndPicksReadAheadStillFindAChangedCopy) {
    ScopedTempFolder temp;
    BackupPlan plan;
    plan.backupFolder = temp.Join(L"_Backup_");
    plan.computerFolder = temp.Join(L"_Backup_\\PC01");
    plan.drive = L"E:";
    PlannedFolder folder;
    folder.source = temp.Join(L"source");
    folder.destination = JoinPath(plan.computerFolder, L"C\\data");
    ASSERT_TRUE(CreateDirectoryTree(folder.source) && CreateDirectoryTree(folder.destination));
    for (int i = 0; i < 300; ++i) {
        char bytes[16];
        std::snprintf(bytes, sizeof bytes, "file %03d", i);
        const WideString name = L"f" + std::to_wstring(i) + L".txt";
        ASSERT_TRUE(WriteFileBytes(JoinPath(folder.source, name), bytes));
        ASSERT_TRUE(WriteFileBytes(JoinPath(folder.destination, name), i == 7 ? "file 00X" : bytes));
    }
    CopyPolicy policy;
    policy.timeTolerance = 20000000;
    {
        BackupLists lists(plan.computerFolder);
        CopiesCheck first(lists, policy);
        ReadBackOfCopy found = first.ReadBack(folder, policy, L"C\\data", INT64_MAX, false);
        first.Mend(folder, policy, L"C\\data", [](const StringList&) { return false; }, &found);
        ASSERT_EQ(1u, found.findings.size());
        EXPECT_EQ(CopyFinding::Kind::Mismatch, found.findings[0].kind);
        EXPECT_EQ(JoinPath(folder.source, L"f7.txt"), found.findings[0].sourcePath);
        EXPECT_TRUE(lists.Save(WideString(), 0).empty());
    }
    const std::string list = ReadFileBytes(ChecksumListOf(plan.computerFolder));
    EXPECT_EQ(299, std::count(list.begin(), list.end(), '\n'));

    // The stick's f0 changes under the same size and time; f0 sorts first,
    // so the rolling check (38 files, an eighth) picks it.
    const WideString changed = JoinPath(folder.destination, L"f0.txt");
    const int64_t lastWrite = FactsOf(changed).lastWrite;
    ASSERT_TRUE(WriteFileBytes(changed, "file 99X"));
    PutBackTime(changed, lastWrite);
    BackupLists lists(plan.computerFolder);
    RollingCheck second(lists, plan, policy);
    second.ReadAhead(L"C\\data");
    second.AwaitReads();
    bool readNow = false;
    second.Judge(&folder, L"C\\data", 4096, &readNow);
    ASSERT_EQ(1u, folder.before.overwritten.size());
    EXPECT_EQ(L"f0.txt", folder.before.overwritten[0].relative);
    EXPECT_EQ(Say(Message::RollingCheckedMany,
                  {L"38", SizeText(38 * 8), L"E:", Say(Message::RollingChanged, {L"1"})}),
              RollingLine(second.Totals(), L"E:"));
}

// What the script is given to copy a wrong copy again: one file, by its
// folder pair and name; never a name some interpreter could expand.
TEST(CopyAgainArguments, OneFileByItsFoldersAndName) {
    PlannedFolder folder;
    folder.source = L"C:\\KORV\\Data";
    folder.destination = L"E:\\_Backup_\\PC01\\C\\KORV\\Data";
    const StringList arguments = CopyAgainArguments(
        folder, {L"a.txt", L"sub folder\\\u65e5\u672c.csv", L"x\\100% off.txt", L"caf\u00e9.txt", L"y\\z\\b & c.txt"},
        932);
    EXPECT_EQ(arguments,
              (StringList{L"\"C:\\KORV\\Data\" \"E:\\_Backup_\\PC01\\C\\KORV\\Data\" \"a.txt\"",
                          L"\"C:\\KORV\\Data\\sub folder\" \"E:\\_Backup_\\PC01\\C\\KORV\\Data\\sub folder\" "
                          L"\"\u65e5\u672c.csv\"",
                          L"\"C:\\KORV\\Data\\y\\z\" \"E:\\_Backup_\\PC01\\C\\KORV\\Data\\y\\z\" \"b & c.txt\""}));
    // A Western code page carries the accent and not the Japanese name.
    EXPECT_EQ(CopyAgainArguments(folder, {L"caf\u00e9.txt", L"\u65e5.csv"}, 1252).size(), 1u);
}

}  // namespace

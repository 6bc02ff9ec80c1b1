#include "restore/restore_arguments.h"

#include <gtest/gtest.h>

#include "restore/restore_run.h"

namespace {

TEST(StickArguments, SwitchesAreReadAndAnyOtherIsRefused) {
    StickArguments read = ReadStickArguments({L"/Restore", L"/from:PC02", L"/at:2026-12-07", L"/to:D:\\x y",
                                              L"/only:C:\\KORV\\Data", L"/replace", L"/LIST", L"/on:f:"});
    EXPECT_EQ(read.task, StickTask::Restore);
    EXPECT_EQ(read.from, L"PC02");
    EXPECT_EQ(read.at, L"2026-12-07");
    EXPECT_EQ(read.to, L"D:\\x y");
    EXPECT_FALSE(read.toOriginal);
    EXPECT_EQ(read.only, L"C:\\KORV\\Data");
    EXPECT_TRUE(read.replace && read.list);
    EXPECT_EQ(read.on, L"F:");
    EXPECT_EQ(read.unknown, L"");
    EXPECT_TRUE(ReadStickArguments({L"/restore", L"/to:Original"}).toOriginal);
    EXPECT_EQ(ReadStickArguments({L"/restore", L"/dates", L"/from:PC01"}).task, StickTask::Dates);
    EXPECT_EQ(ReadStickArguments({L"/check", L"/on:E:\\"}).on, L"E:");
    EXPECT_EQ(ReadStickArguments({L"D:\\data"}).task, StickTask::None);
    EXPECT_EQ(ReadStickArguments({}).task, StickTask::None);

    const struct {
        StringList arguments;
        const wchar_t* unknown;
    } refused[] = {
        {{L"/backup"}, L"/backup"},
        {{L"/restore", L"D:\\x"}, L"D:\\x"},
        {{L"/restore", L"/to:"}, L"/to:"},
        {{L"/restore", L"/on:E"}, L"/on:E"},
        {{L"/restore", L"/on:EF:"}, L"/on:EF:"},
        {{L"/restore", L"/on:\u00C4:"}, L"/on:\u00C4:"},
        {{L"/check", L"/on:\uFF25:"}, L"/on:\uFF25:"},
        {{L"/restore", L"/force"}, L"/force"},
        {{L"/check", L"/list"}, L"/list"},
        {{L"/check", L"/at:2026-12-07"}, L"/at:2026-12-07"},
        {{L"/restore", L"/dates", L"/replace"}, L"/replace"},
        {{L"/restore", L"/at:2026-12-07", L"/dates"}, L"/dates"},
    };
    for (const auto& one : refused) {
        EXPECT_EQ(ReadStickArguments(one.arguments).unknown, one.unknown) << one.unknown;
    }
}

TEST(StickArguments, WhereTheBackupIsReadAndWhereNothingIsRestored) {
    EXPECT_EQ(StickDriveOf(L"", L"e:\\brisk.exe"), L"E:");
    EXPECT_EQ(StickDriveOf(L"F:", L"E:\\brisk.exe"), L"F:");
    EXPECT_EQ(StickDriveOf(L"", L"\\\\srv\\s\\brisk.exe"), L"");
    EXPECT_EQ(StickDriveOf(L"", L"\u00C4:\\brisk.exe"), L"");
    EXPECT_TRUE(IsInsideBackupFolders(L"E:\\_Backup_\\x", L"E:"));
    EXPECT_TRUE(IsInsideBackupFolders(L"e:\\_versions_", L"E:"));
    EXPECT_FALSE(IsInsideBackupFolders(L"E:\\Restored", L"E:"));
    EXPECT_FALSE(IsInsideBackupFolders(L"D:\\_Backup_", L"E:"));
}

TEST(StickArguments, TheProgressLineSaysTheTimeLeftOnceItCanBeEstimated) {
    EXPECT_EQ(ProgressLine(Message::ProgressDone, 1, 4, 1 << 20, 4 << 20, 500), L"Restoring: 1 of 4 files, 1.0 MB of 4.0 MB");
    EXPECT_EQ(ProgressLine(Message::ProgressDone, 1, 4, 1 << 20, 4 << 20, 2000),
              L"Restoring: 1 of 4 files, 1.0 MB of 4.0 MB, about 7 s left");
    EXPECT_EQ(ProgressLine(Message::ProgressChecking, 0, 4, 0, 4 << 20, 2000), L"Checking: 0 of 4 files, 0.0 MB of 4.0 MB");
}

}  // namespace

#include "app/backup_root.h"

#include <gtest/gtest.h>

namespace {

TEST(BackupRoot, VolumeRootOf) {
    const struct {
        const wchar_t* path;
        const wchar_t* root;
    } cases[] = {
        {L"D:\\tools\\app.exe", L"D:\\"},
        {L"D:/tools/app.exe", L"D:/"},
        {L"\\\\srv\\share\\dir\\file", L"\\\\srv\\share\\"},
        {L"\\\\srv\\share", L"\\\\srv\\share"},
        {L"data\\sub\\x", L"data\\sub\\"},
        {L"e:\\", L"e:\\"},
        {L"E:", L"E:"},
        {L"Z:/", L"Z:/"},
        {L"", L""},
        {L"F:\\data", L"F:\\"},
    };
    for (const auto& c : cases) EXPECT_EQ(VolumeRootOf(c.path), c.root) << c.path;
}

TEST(BackupRoot, RootOfTheFirstArgumentOrOfTheProgram) {
    EXPECT_EQ(BackupRootFor({L"D:\\tools\\app.exe"}), L"D:\\_Backup_");
    EXPECT_EQ(BackupRootFor({L"D:\\tools\\app.exe", L"e:\\"}), L"e:\\_Backup_");
    EXPECT_EQ(BackupRootFor({L"D:\\app.exe", L"F:\\data", L"G:\\x"}), L"F:\\_Backup_");
    EXPECT_EQ(BackupRootFor({L"x.exe", L"\\\\srv\\share\\projects\\a"}),
              L"\\\\srv\\share\\_Backup_");
    EXPECT_EQ(BackupRootFor({L"x.exe", L"\\\\srv\\_BACKUP_\\x\\y"}), L"\\\\srv\\_BACKUP_\\");
    EXPECT_EQ(BackupRootFor({}), L"Z:/_Backup_");
}

TEST(BackupRoot, OnlyABackslashedDriveCIsTheSystemDrive) {
    EXPECT_TRUE(IsSystemDriveRoot(L"C:\\_Backup_"));
    EXPECT_TRUE(IsSystemDriveRoot(L"c:\\_Backup_"));
    EXPECT_FALSE(IsSystemDriveRoot(L"C:/_Backup_"));
    EXPECT_FALSE(IsSystemDriveRoot(L"D:\\_Backup_"));
    EXPECT_FALSE(IsSystemDriveRoot(L"\\\\srv\\C:\\"));
}

}  // namespace

#include "job/backup_setup.h"

#include <gtest/gtest.h>

#include "job/backup_job.h"

namespace {

TEST(BackupSetup, DestinationIsTheRootOnlyWhenItIsABackupFolder) {
    const struct {
        const wchar_t* root;
        const wchar_t* destination;
    } cases[] = {
        {L"F:\\_Backup_", L"F:\\_Backup_"},
        {L"F:\\_backup_", L"F:\\_backup_"},
        {L"F:\\", L"F:\\_Backup_"},
        {L"F:", L"F:\\_Backup_"},
        {L"F:\\_Backup_\\", L"F:\\_Backup_\\_Backup_"},
        // A root that only ends in the word gets a folder of its own, so
        // that the sources are never mirrored into one folder.
        {L"\\\\srv\\x_Backup_", L"\\\\srv\\x_Backup_\\_Backup_"},
        {L"\\\\srv\\_BACKUP_\\", L"\\\\srv\\_BACKUP_\\_Backup_"},
        {L"C:\\users\\u\\Temp\\Quillon.tmp\\_Backup_", L"C:\\users\\u\\Temp\\Quillon.tmp\\_Backup_"},
    };
    for (const auto& c : cases) EXPECT_EQ(BackupDestinationFor(c.root), c.destination) << c.root;
}

TEST(BackupSetup, ThePolicy) {
    HostFoldersJob job;
    ApplyBackupPolicy(job, L"E:\\_Backup_");
    EXPECT_EQ(job.Destination(), L"E:\\_Backup_");
    EXPECT_EQ(job.ExcludedFiles(), L" *.bak  *.tmp  Thumbs.db ");
    EXPECT_EQ(job.ExcludedDirs(), L" bak  .vs  _Backup_  _Search_  _Backup_ *.tmp");
    EXPECT_EQ(job.MaxSize(), 4294967295u);  // FAT32 holds no larger file
    EXPECT_EQ(job.RetryCount(), 3);
    EXPECT_EQ(job.WaitSeconds(), 5);
    EXPECT_TRUE(job.LongFinalPause());
    const CopyOptions& o = job.Options();
    EXPECT_TRUE(o.subdirectories && o.mirror && o.purge && o.fatTimes && o.retryOption &&
                o.waitOption && o.excludeJunctions && o.maxSizeOption && o.excludeFilesOption &&
                o.excludeDirsOption);
    EXPECT_FALSE(o.listOnly || o.excludeOlder || o.excludeExtra || o.minSizeOption ||
                 o.maxAgeOption || o.minAgeOption);
    EXPECT_EQ(job.Source(), L"");
}

}  // namespace

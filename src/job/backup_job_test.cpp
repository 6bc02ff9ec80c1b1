#include "job/backup_job.h"

#include <gtest/gtest.h>

namespace {

TEST(BackupJob, ANewJobHasTheDefaults) {
    const BackupJob job;
    EXPECT_EQ(job.RetryCount(), 3);
    EXPECT_EQ(job.WaitSeconds(), 5);
    EXPECT_EQ(job.MinSize(), 0u);
    EXPECT_EQ(job.MaxSize(), 1099511627776u);
    EXPECT_EQ(job.MaxAge(), 19700101u);
    EXPECT_EQ(job.MinAge(), 0u);
    EXPECT_EQ(job.ExcludedFiles(), L" mfc*.tmp  Thumbs.db ");
    EXPECT_EQ(job.ExcludedDirs(), L"");
    EXPECT_EQ(job.Source(), L"");
    EXPECT_FALSE(job.LongFinalPause());
    EXPECT_EQ(job.ToolName(), L"robocopy");
    const CopyOptions& o = job.Options();
    EXPECT_TRUE(o.subdirectories && o.purge && o.fatTimes && o.retryOption && o.waitOption &&
                o.excludeOlder && o.excludeJunctions && o.excludeFilesOption);
    EXPECT_FALSE(o.listOnly || o.mirror || o.excludeExtra || o.excludeDirsOption ||
                 o.minSizeOption || o.maxSizeOption || o.maxAgeOption || o.minAgeOption);
}

TEST(BackupJob, ExclusionListsGrowByBlankAndPattern) {
    BackupJob job;
    EXPECT_TRUE(job.AddExcludedDir(L"*.tmp"));
    EXPECT_EQ(job.ExcludedDirs(), L" *.tmp");
    job.AddExcludedDir(L"bak");
    EXPECT_EQ(job.ExcludedDirs(), L" *.tmp bak");
    job.AddExcludedFile(L"*.log");
    EXPECT_EQ(job.ExcludedFiles(), L" mfc*.tmp  Thumbs.db  *.log");

    EXPECT_TRUE(job.SetExcludedFiles(L""));
    EXPECT_EQ(job.ExcludedFiles(), L"");
    EXPECT_TRUE(job.Options().excludeFilesOption);
}

TEST(BackupJob, ACopyIsEqualAndIndependent) {
    BackupJob job;
    job.SetSource(L"C:\\Data");
    job.SetDestination(L"E:\\_Backup_");
    job.SetMirror(true);
    job.SetMaxSize(4294967296u);
    BackupJob copy(job);
    EXPECT_EQ(copy.CommandLine(), job.CommandLine());
    EXPECT_EQ(copy.Source(), job.Source());
    EXPECT_EQ(copy.MaxSize(), job.MaxSize());
    EXPECT_TRUE(copy.Options().mirror);

    copy.SetSource(L"D:\\Other");
    copy.SetMirror(false);
    copy.AddExcludedDir(L"x");
    EXPECT_EQ(job.Source(), L"C:\\Data");
    EXPECT_TRUE(job.Options().mirror);
    EXPECT_EQ(job.ExcludedDirs(), L"");
}

}  // namespace

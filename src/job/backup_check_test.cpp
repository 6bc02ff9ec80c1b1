#include "job/backup_check.h"

#include <gtest/gtest.h>

#include "job/backup_job.h"
#include "job/backup_run.h"
#include "job/backup_setup.h"

namespace {

constexpr int64_t kSecond = 10000000;

CopyPolicy BackupPolicy() {
    BackupJob job;
    ApplyBackupPolicy(job, L"E:\\_Backup_");
    return PolicyOf(job);
}

TreeListing Tree(std::initializer_list<ListedFile> files) {
    TreeListing tree;
    for (const ListedFile& file : files) tree[file.relative] = file;
    return tree;
}

TEST(BackupCheck, ThePolicyIsTheCopyToolsOwn) {
    const CopyPolicy policy = BackupPolicy();
    for (const wchar_t* name : {L"x.bak", L"X.TMP", L"thumbs.db"}) EXPECT_TRUE(ExcludesFile(policy, name));
    for (const wchar_t* name : {L"x.txt", L"bak.txt", L"a.tmp.txt"}) EXPECT_FALSE(ExcludesFile(policy, name));
    for (const wchar_t* name : {L"bak", L".vs", L"_backup_", L"_Search_", L"old.tmp"}) {
        EXPECT_TRUE(ExcludesDir(policy, name)) << name;
    }
    EXPECT_FALSE(ExcludesDir(policy, L"backup"));
    EXPECT_FALSE(OverSizeCap(policy, uint64_t{1} << 32));
    EXPECT_TRUE(OverSizeCap(policy, (uint64_t{1} << 32) + 1));
    // FAT times: two seconds either way count as the same time.
    EXPECT_TRUE(SameTime(policy, 100 * kSecond, 102 * kSecond));
    EXPECT_FALSE(SameTime(policy, 100 * kSecond, 102 * kSecond + 1));
}

TEST(BackupCheck, WhatTheMirrorWritesFreesAndLeaves) {
    const CopyPolicy policy = BackupPolicy();
    const uint64_t huge = (uint64_t{1} << 32) + 1;
    const TreeListing source = Tree({{L"same", 10, 100 * kSecond},
                                     {L"fat", 10, 101 * kSecond},
                                     {L"changed", 30, 200 * kSecond},
                                     {L"new", 40, 0},
                                     {L"huge", huge, 0}});
    const TreeListing backup = Tree({{L"same", 10, 100 * kSecond},
                                     {L"fat", 10, 100 * kSecond},
                                     {L"changed", 25, 100 * kSecond},
                                     {L"extra", 7, 0},
                                     {L"huge", 5, 0}});
    const CopyPlan plan = PlanMirror(policy, source, backup);
    EXPECT_EQ(plan.bytesWritten, 70u);  // changed and new
    EXPECT_EQ(plan.bytesFreed, 32u);    // the old changed copy and the extra file

    const FolderVerification before = VerifyMirror(policy, source, backup);
    EXPECT_EQ(before.files, 4u);
    EXPECT_EQ(before.missingOrOlder, 2u);
    EXPECT_EQ(before.firstMissing, L"changed");
    EXPECT_EQ(before.overSizeCap, StringList{L"huge"});
    EXPECT_EQ(VerificationLine(L"C:\\d", before), L"INCOMPLETE  C:\\d  4 files, 2 missing or older, first: changed");
    EXPECT_EQ(VerificationLine(L"C:\\d", VerifyMirror(policy, source, source)), L"OK  C:\\d  4 files");

    EXPECT_FALSE(WouldEmptyBackup(policy, source, backup));
    EXPECT_TRUE(WouldEmptyBackup(policy, Tree({{L"huge", huge, 0}}), backup));
    EXPECT_FALSE(WouldEmptyBackup(policy, Tree({}), Tree({})));
}

TEST(BackupCheck, TheLinesThatSayHowItWent) {
    EXPECT_EQ(VerdictLine(3, 120, 0, 0, 0), L"Backup complete: 3 folders, 120 files.");
    EXPECT_EQ(VerdictLine(1, 1, 0, 0, 0), L"Backup complete: 1 folder, 1 file.");
    EXPECT_EQ(VerdictLine(3, 120, 1, 2, 1),
              L"Backup INCOMPLETE: 1 of 3 folders incomplete (2 files missing or older), "
              L"1 folder not backed up.");
    EXPECT_EQ(VerdictLine(3, 120, 0, 0, 2), L"Backup INCOMPLETE: 2 folders not backed up.");
    EXPECT_EQ(ShortfallLine(3435973836, L"E:"),
              L"The backup needs 3.2 GB more than E: has free; nothing was copied");
    EXPECT_EQ(SizeText(3000000), L"2.9 MB");
    EXPECT_EQ(SizeText(1), L"0.1 MB");
}

}  // namespace

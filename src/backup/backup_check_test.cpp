#include "backup/backup_check.h"

#include <gtest/gtest.h>

#include "job/backup_job.h"
#include "job/backup_setup.h"
#include "text/messages.h"

namespace {

constexpr int64_t kSecond = 10000000;

TEST(BackupCheck, ThePolicyIsTheCopyToolsOwn) {
    BackupJob job;
    ApplyBackupPolicy(job, L"E:\\_Backup_");
    const CopyPolicy policy = PolicyOf(job);
    for (const wchar_t* name : {L"x.bak", L"x.tmp", L"thumbs.db"}) EXPECT_TRUE(ExcludesFile(policy, name));
    for (const wchar_t* name : {L"x.txt", L"bak.txt", L"a.tmp.txt"}) EXPECT_FALSE(ExcludesFile(policy, name));
    for (const wchar_t* name : {L"bak", L".vs", L"_backup_", L"_search_", L"old.tmp"}) {
        EXPECT_TRUE(ExcludesDir(policy, name)) << name;
    }
    EXPECT_FALSE(ExcludesDir(policy, L"backup"));
    // A file of 4 GiB does not fit on FAT32: it is over the cap.
    EXPECT_FALSE(OverSizeCap(policy, (uint64_t{1} << 32) - 1));
    EXPECT_TRUE(OverSizeCap(policy, uint64_t{1} << 32));
    // FAT times: two seconds either way count as the same time.
    EXPECT_TRUE(SameTime(policy, 100 * kSecond, 102 * kSecond));
    EXPECT_FALSE(SameTime(policy, 100 * kSecond, 102 * kSecond + 1));
}

TEST(BackupCheck, OnlyACopyThatChangedNothingSparesTheWalkAfterIt) {
    TreeComparison settled;
    settled.files = settled.upToDate = 3;
    TreeComparison toCopy = settled;
    toCopy.upToDate = 2;
    TreeComparison toDelete = settled;
    toDelete.deleted = {{L"old.txt", 1}};
    TreeComparison leftOut = settled;
    leftOut.unreadable = {{L"private", L"could not be read"}};
    const int zero = 0;
    const int copied = 1;
    const int extras = 2;
    const struct {
        const TreeComparison& before;
        bool allRead;
        size_t keptAside;
        const int* exitCode;
        bool spared;
    } cases[] = {
        {settled, true, 0, &zero, true},
        {settled, true, 0, nullptr, false},   // no exit code heard
        {settled, true, 0, &copied, false},   // a source changed since the plan
        {settled, true, 0, &extras, false},   // something appeared in the backup
        {settled, false, 0, &zero, false},    // a file could not be read before the copy
        {settled, true, 1, &zero, false},     // an earlier version kept aside
        {toCopy, true, 0, &zero, false},
        {toDelete, true, 0, &zero, false},
        {leftOut, true, 0, &zero, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CopyLeftBackupAsPlanned(c.before, c.allRead, c.keptAside, c.exitCode), c.spared)
            << (&c - cases);
    }
}

TEST(BackupCheck, TheLinesThatSayHowItWent) {
    TreeComparison after;
    after.files = 4;
    after.upToDate = 2;
    after.firstMissing = L"changed";
    EXPECT_EQ(VerificationLine(L"C:\\d", after), L"INCOMPLETE  C:\\d  4 files, 2 missing or older, first: changed");
    EXPECT_FALSE(VerifiedComplete(after));
    after.upToDate = 4;
    EXPECT_EQ(VerificationLine(L"C:\\d", after), L"OK  C:\\d  4 files");
    EXPECT_TRUE(VerifiedComplete(after));
    // A read-back that found a file changed during the backup: never "OK".
    EXPECT_EQ(VerificationLine(L"C:\\d", after, false), L"INCOMPLETE  C:\\d  4 files");
    after.unreadable = {{L"private", L"could not be read: Access is denied"}};
    EXPECT_EQ(VerificationLines(L"C:\\d", after),
              (StringList{L"INCOMPLETE  C:\\d  4 files, 1 folder could not be read",
                          L"    C:\\d\\private  (could not be read: Access is denied)"}));
    EXPECT_FALSE(VerifiedComplete(after));
    after.unreadable.clear();
    after.sourceProblem = L"the folder is gone";
    EXPECT_EQ(VerificationLine(L"C:\\d", after), L"INCOMPLETE  C:\\d  (the folder is gone)");
    EXPECT_FALSE(VerifiedComplete(after));

    RunFigures figures;
    figures.bytesCopied = 12897484;
    figures.versionsKept = 2;
    figures.seconds = 41;
    figures.freeBytes = 10522669875;
    figures.drive = L"E:";
    const WideString tail = L"; 12.3 MB copied, 2 earlier versions kept, in 41 s; 9.8 GB free on E:";
    // A 22-byte change copies bytes, not a tenth of a megabyte.
    RunFigures small = figures;
    small.bytesCopied = 22;
    EXPECT_NE(VerdictLine(BackupTally(), small).find(L"; 0.0 MB copied, "), WideString::npos);
    const struct {
        BackupTally tally;
        const wchar_t* line;
    } verdicts[] = {
        {{11, 3204, 0, 0, 0, true}, L"Backup complete: 11 folders, 3,204 files"},
        {{1, 1, 0, 0, 0, true}, L"Backup complete: 1 folder, 1 file"},
        {{3, 120, 1, 2, 1, true},
         L"Backup INCOMPLETE: 1 of 3 folders incomplete (2 files missing or older), 1 folder not backed up"},
        {{3, 120, 0, 0, 2, true}, L"Backup INCOMPLETE: 2 folders not backed up"},
        {{3, 120, 1, 0, 0, true}, L"Backup INCOMPLETE: 1 of 3 folders incomplete"},
        {{3, 120, 0, 0, 0, false}, L"Backup INCOMPLETE: the folder list was not written"},
        {{3, 120, 0, 0, 0, true, 0, true, false}, L"Backup INCOMPLETE: the record of this run was not written whole"},
    };
    for (const auto& v : verdicts) {
        EXPECT_EQ(VerdictLine(v.tally, figures), v.line + tail);
        EXPECT_EQ(v.tally.Complete(), WideString(v.line).find(L"complete:") != WideString::npos) << v.line;
    }
    figures.versionsKept = 1;
    EXPECT_NE(VerdictLine(verdicts[0].tally, figures).find(L", 1 earlier version kept, "), WideString::npos);
    EXPECT_EQ(ShortfallLine(3435973836, L"E:"),
              L"The backup needs 3.2 GB more than E: has free; nothing was copied");

    // In Japanese the parts are joined the Japanese way; digits and units stay.
    after.sourceProblem.clear();
    after.upToDate = 2;
    SetMessageLanguage(Language::Japanese);
    const WideString verdict = VerdictLine(verdicts[2].tally, figures);
    const WideString folderLine = VerificationLine(L"C:\\d", after);
    SetMessageLanguage(Language::English);
    EXPECT_EQ(verdict, L"バックアップ未完了: 3 フォルダーのうち 1 が未完了 (2 ファイルが不足か古いまま)、"
                       L"1 フォルダーをバックアップしていません。12.3 MB をコピー、以前のバージョン 1 個を保存、"
                       L"41 秒。E: の空き 9.8 GB");
    EXPECT_EQ(folderLine, L"未完了  C:\\d  4 ファイル、2 個が不足か古いままです (最初: changed)");
}

}  // namespace

#include "walk/tree_walk.h"

#include <gtest/gtest.h>

#include "job/backup_job.h"
#include "job/backup_setup.h"
#include "test_support.h"
#include "text/canonical_path.h"

namespace {

TEST(TreeWalk, OnlyNoSuchFileOrNoMoreFilesEndsAListingWell) {
    const struct {
        DWORD error;
        ListingEnd first;
        ListingEnd next;
    } cases[] = {
        {ERROR_FILE_NOT_FOUND, ListingEnd::Listed, ListingEnd::Failed},
        {ERROR_PATH_NOT_FOUND, ListingEnd::Missing, ListingEnd::Failed},
        {ERROR_NO_MORE_FILES, ListingEnd::Failed, ListingEnd::Listed},
        {ERROR_ACCESS_DENIED, ListingEnd::Failed, ListingEnd::Failed},
        {ERROR_DIRECTORY, ListingEnd::Failed, ListingEnd::Failed},
        {ERROR_BAD_NETPATH, ListingEnd::Failed, ListingEnd::Failed},
        {ERROR_NOT_READY, ListingEnd::Failed, ListingEnd::Failed},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindFirstEnd(c.error), c.first) << c.error;
        EXPECT_EQ(FindNextEnd(c.error), c.next) << c.error;
    }
}

// A tree whose files lie deeper than 260 characters is compared like any
// other; a source that is gone says so.
TEST(TreeWalk, DeepTreesAreComparedAndAGoneSourceIsNamed) {
    ScopedTempFolder folder;
    const WideString source = folder.Join(L"source");
    const WideString backup = folder.Join(L"backup");
    WideString deep;
    for (int level = 0; level < 9; ++level) deep += L"\\a folder name of some length " + std::to_wstring(level);
    for (const WideString& root : {source, backup}) {
        WideString path = root;
        ASSERT_TRUE(CreateDirectoryW(LongPathForm(path).c_str(), nullptr));
        for (size_t at = deep.find(L'\\', 1); at != WideString::npos; at = deep.find(L'\\', at + 1)) {
            ASSERT_TRUE(CreateDirectoryW(LongPathForm(root + deep.substr(0, at)).c_str(), nullptr));
        }
        ASSERT_TRUE(CreateDirectoryW(LongPathForm(root + deep).c_str(), nullptr));
    }
    const WideString deepFile = source + deep + L"\\deep.txt";
    ASSERT_GT(deepFile.size(), 300u);
    ASSERT_TRUE(WriteFileBytes(LongPathForm(deepFile), "deep"));
    ASSERT_TRUE(WriteFileBytes(source + L"\\top.txt", "top"));

    BackupJob job;
    ApplyBackupPolicy(job, L"E:\\_Backup_");
    const CopyPolicy policy = PolicyOf(job);
    const TreeComparison before = CompareTrees(policy, 4096, source, backup);
    EXPECT_TRUE(before.Read()) << before.sourceProblem << before.backupProblem;
    EXPECT_EQ(before.files, 2u);
    EXPECT_EQ(before.MissingOrOlder(), 2u);
    EXPECT_EQ(before.need, 8192u);
    EXPECT_EQ(before.firstMissing, L"top.txt");
    EXPECT_EQ(CountFilesPlainly(source), 2u);

    for (const WideString& relative : {deep + L"\\deep.txt", WideString(L"\\top.txt")}) {
        ASSERT_TRUE(CopyFileW(LongPathForm(source + relative).c_str(),
                              LongPathForm(backup + relative).c_str(), FALSE));
    }
    const TreeComparison after = CompareTrees(policy, 0, source, backup);
    EXPECT_EQ(after.files, 2u);
    EXPECT_EQ(after.MissingOrOlder(), 0u);

    const TreeComparison gone = CompareTrees(policy, 0, folder.Join(L"missing"), backup);
    EXPECT_EQ(gone.sourceProblem, L"the folder is gone");
    EXPECT_TRUE(CompareTrees(policy, 0, source, folder.Join(L"no backup yet")).Read());
}

}  // namespace

#include "text/file_status.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace {

TEST(FileStatus, DriveRootIsADirectoryButABareDriveFails) {
    const FileStatus root(L"C:\\");
    EXPECT_FALSE(root.Failed());
    EXPECT_TRUE(root.IsDirectory());
    EXPECT_FALSE(root.IsRegularFile());

    EXPECT_TRUE(FileStatus(L"C:").Failed());
    // Normalising drops the separator of "C:/", leaving the bare drive.
    EXPECT_TRUE(FileStatus(L"C:/").Failed());
}

TEST(FileStatus, MissingPathsAndWildcardsFail) {
    ScopedTempFolder folder;
    const FileStatus missing(folder.Join(L"missing.txt"));
    EXPECT_TRUE(missing.Failed());
    EXPECT_EQ(missing.ErrorNumber(), 2);
    EXPECT_TRUE(FileStatus(folder.Join(L"*")).Failed());
    EXPECT_TRUE(FileStatus(folder.Join(L"a?c")).Failed());
    EXPECT_TRUE(FileStatus(L"").Failed());
}

TEST(FileStatus, ReportsFilesAndFoldersWithSlashesOrBackslashes) {
    ScopedTempFolder folder;
    const WideString file = folder.Join(L"data.bin");
    ASSERT_TRUE(WriteFileBytes(file, std::string(1234, 'x')));

    const FileStatus status(file);
    ASSERT_FALSE(status.Failed());
    EXPECT_TRUE(status.IsRegularFile());
    EXPECT_FALSE(status.IsDirectory());
    EXPECT_EQ(status.Size(), 1234);
    EXPECT_GT(status.ModifyTime(), 0);

    const WideString slashed = WithSlashes(folder.Path());
    EXPECT_TRUE(FileStatus(slashed).IsDirectory()) << slashed;
    EXPECT_TRUE(FileStatus(slashed + L"/data.bin").IsRegularFile());
}

TEST(PathExists, EmptyFilesCountOnlyWithoutTheNonEmptyRequirement) {
    ScopedTempFolder folder;
    const WideString empty = folder.Join(L"empty.txt");
    const WideString full = folder.Join(L"full.txt");
    ASSERT_TRUE(WriteFileBytes(empty, ""));
    ASSERT_TRUE(WriteFileBytes(full, "x"));

    EXPECT_TRUE(PathExists(empty, false));
    EXPECT_FALSE(PathExists(empty, true));
    EXPECT_TRUE(PathExists(full, true));
    EXPECT_TRUE(PathExists(folder.Path(), true));
    EXPECT_TRUE(PathExists(folder.Path() + L"\\", false));
    EXPECT_FALSE(PathExists(folder.Join(L"missing"), false));
}

TEST(PathExists, RootsAndEmptyPathsAreMissing) {
    EXPECT_FALSE(PathExists(L"", false));
    EXPECT_FALSE(PathExists(L"C:\\", false));
    EXPECT_FALSE(PathExists(L"C:/", false));
    EXPECT_TRUE(PathExists(L"C:\\windows", false));
    EXPECT_TRUE(PathExists(L"C:/windows/", false));
}

}  // namespace

#include "config/directory_ops.h"

#include <gtest/gtest.h>

#include <string>

#include "common/windows_headers.h"
#include "text/system_error.h"

#include "test_support.h"

namespace {

TEST(DirectoryExists, DriveRootsFilesAndSeparators) {
    ScopedTempFolder folder;
    const WideString file = folder.Join(L"file.txt");
    ASSERT_TRUE(WriteFileBytes(file, "x"));

    EXPECT_FALSE(DirectoryExists(L"C:\\"));
    EXPECT_FALSE(DirectoryExists(L""));
    EXPECT_TRUE(DirectoryExists(L"C:\\windows\\"));
    EXPECT_TRUE(DirectoryExists(L"C:/windows"));
    EXPECT_TRUE(DirectoryExists(folder.Path()));
    EXPECT_FALSE(DirectoryExists(file));
    EXPECT_FALSE(DirectoryExists(folder.Join(L"missing")));
    EXPECT_FALSE(DirectoryExists(folder.Join(L"*")));
}

TEST(CreateDirectoryTree, CreatesTheChainAndIsIdempotent) {
    ScopedTempFolder folder;
    const WideString deep = folder.Join(L"a\\b\\c");
    ErrorStreamCapture errors;
    EXPECT_TRUE(CreateDirectoryTree(deep));
    EXPECT_TRUE(DirectoryExists(folder.Join(L"a\\b")));
    EXPECT_TRUE(DirectoryExists(deep));
    EXPECT_TRUE(CreateDirectoryTree(deep + L"\\"));
    EXPECT_TRUE(CreateDirectoryTree(folder.Join(L"x/y//z/")));
    EXPECT_TRUE(DirectoryExists(folder.Join(L"x\\y\\z")));
    EXPECT_EQ(errors.Text(), L"");
}

TEST(CreateDirectoryTree, FailsAtAFileAndSaysWhere) {
    ScopedTempFolder folder;
    ASSERT_TRUE(CreateDirectoryTree(folder.Join(L"a")));
    ASSERT_TRUE(WriteFileBytes(folder.Join(L"a\\b"), "in the way"));
    ErrorStreamCapture errors;
    EXPECT_FALSE(CreateDirectoryTree(folder.Join(L"a\\b\\c")));
    EXPECT_EQ(errors.Lines(),
              StringList{L"Can't create " + folder.Join(L"a\\b") + L": " + SystemReason(ERROR_ALREADY_EXISTS)});
    EXPECT_FALSE(DirectoryExists(folder.Join(L"a\\b\\c")));
    EXPECT_FALSE(CreateDirectoryTree(L""));
}

TEST(CreateDirectoryTree, NeverCreatesAServerOrShare) {
    // The first folder it tries is the one below the share.
    ErrorStreamCapture errors;
    EXPECT_FALSE(CreateDirectoryTree(L"\\\\nosuchserver\\share\\dir\\sub"));
    EXPECT_EQ(errors.Lines(),
              StringList{L"Can't create \\\\nosuchserver\\share\\dir: " + SystemReason(ERROR_PATH_NOT_FOUND)});
}

TEST(CopyFileGuarded, ReplacesOrKeepsTheTargetAsAsked) {
    ScopedTempFolder folder;
    const WideString source = folder.Join(L"new.txt");
    const WideString target = folder.Join(L"old.txt");
    ASSERT_TRUE(WriteFileBytes(source, "new content"));
    ASSERT_TRUE(WriteFileBytes(target, "old"));

    EXPECT_FALSE(CopyFileGuarded(source, target, true));
    EXPECT_EQ(ReadFileBytes(target), "old");
    EXPECT_TRUE(CopyFileGuarded(source, target, false));
    EXPECT_EQ(ReadFileBytes(target), "new content");
    EXPECT_EQ(ReadFileBytes(source), "new content");
}

TEST(CopyFileGuarded, CreatesTheTargetFolderChain) {
    ScopedTempFolder folder;
    const WideString source = folder.Join(L"brisk.exe");
    ASSERT_TRUE(WriteFileBytes(source, "program"));
    const WideString target = folder.Join(L"stick\\deep\\er\\brisk.exe");
    EXPECT_TRUE(CopyFileGuarded(source, target, true));
    EXPECT_EQ(ReadFileBytes(target), "program");
}

TEST(CopyFileGuarded, CopiesOntoADriveRoot) {
    ScopedTempFolder folder;
    const WideString source = folder.Join(L"brisk.exe");
    ASSERT_TRUE(WriteFileBytes(source, "program"));
    // The test programs run from a drive of their own; its root takes the copy.
    const WideString drive = FileBesideTestProgram(L"").substr(0, 2);
    const WideString name = L"copy_test_" + std::to_wstring(GetCurrentProcessId()) + L".exe";
    for (const WideString& target : {drive + L"\\" + name, drive + L"/" + name}) {
        EXPECT_TRUE(CopyFileGuarded(source, target, false)) << target;
        EXPECT_EQ(ReadFileBytes(drive + L"\\" + name), "program") << target;
        DeleteFileW((drive + L"\\" + name).c_str());
    }
}

TEST(CopyFileGuarded, AMissingSourceCreatesNothing) {
    ScopedTempFolder folder;
    EXPECT_FALSE(CopyFileGuarded(folder.Join(L"missing.exe"), folder.Join(L"t\\x.exe"), false));
    EXPECT_FALSE(DirectoryExists(folder.Join(L"t")));
}

}  // namespace

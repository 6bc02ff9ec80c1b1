#include "housekeeping/pending_file_ops.h"

#include <gtest/gtest.h>

#include "common/windows_headers.h"
#include "config/directory_ops.h"
#include "housekeeping/file_attributes.h"
#include "test_support.h"
#include "text/file_status.h"

namespace {

TEST(PendingFileOps, DeletesFilesThenTheirEmptiedFolders) {
    ScopedTempFolder root;
    const WideString emptied = root.Join(L"d");
    const WideString kept = root.Join(L"k");
    ASSERT_TRUE(CreateDirectoryTree(emptied) && CreateDirectoryTree(kept));
    ASSERT_TRUE(WriteFileBytes(emptied + L"\\f1.txt", "1"));
    ASSERT_TRUE(WriteFileBytes(kept + L"\\listed.txt", "2"));
    ASSERT_TRUE(WriteFileBytes(kept + L"\\unlisted.txt", "3"));
    {
        PendingFileOps pending;
        pending.Add(emptied + L"\\");
        pending.Add(emptied + L"\\f1.txt");
        pending.Add(emptied + L"\\f1.txt");
        pending.AddAll({kept, kept + L"\\listed.txt"});
        EXPECT_TRUE(PathExists(emptied + L"\\f1.txt", false));  // nothing happens before
    }
    EXPECT_FALSE(PathExists(emptied, false));
    EXPECT_FALSE(PathExists(kept + L"\\listed.txt", false));
    EXPECT_TRUE(PathExists(kept + L"\\unlisted.txt", false));
    EXPECT_TRUE(DirectoryExists(kept));
}

TEST(PendingFileOps, NeverDeletesWhatWasNotListed) {
    ScopedTempFolder root;
    ASSERT_TRUE(WriteFileBytes(root.Join(L"a.txt"), "a"));
    ASSERT_TRUE(WriteFileBytes(root.Join(L"b.txt"), "b"));
    PendingFileOps pending;
    pending.AddAll({root.Join(L"*"), root.Join(L"*.txt"), root.Join(L"?.txt"), L" ", L"",
                    root.Join(L"missing.txt"), L"C:\\", L"C:"});
    EXPECT_TRUE(pending.DeleteNow());
    EXPECT_TRUE(pending.Sources().empty());
    EXPECT_TRUE(PathExists(root.Join(L"a.txt"), false));
    EXPECT_TRUE(PathExists(root.Join(L"b.txt"), false));

    const WideString slashed = WithSlashes(root.Join(L"a.txt"));
    pending.Add(slashed);
    pending.DeleteNow();
    EXPECT_FALSE(PathExists(root.Join(L"a.txt"), false));
    EXPECT_TRUE(PathExists(root.Join(L"b.txt"), false));
}

TEST(PendingFileOps, AMoveCopiesThenDeletesAndAFailedCopyKeepsTheSource) {
    ScopedTempFolder root;
    const WideString moved = root.Join(L"moved.txt");
    const WideString stuck = root.Join(L"stuck.txt");
    ASSERT_TRUE(WriteFileBytes(moved, "m"));
    ASSERT_TRUE(WriteFileBytes(stuck, "s"));
    // The destination's folder cannot be made: a file stands in its way.
    ASSERT_TRUE(WriteFileBytes(root.Join(L"blocker"), "x"));
    {
        ErrorStreamCapture errors;
        PendingFileOps pending;
        pending.AddMove(moved, root.Join(L"out\\moved.txt"));
        pending.AddMove(stuck, root.Join(L"blocker\\stuck.txt"));
    }
    EXPECT_FALSE(PathExists(moved, false));
    EXPECT_EQ(ReadFileBytes(root.Join(L"out\\moved.txt")), "m");
    EXPECT_EQ(ReadFileBytes(stuck), "s");
}

TEST(ExpireOldFiles, AgeAndReadOnlyDecide) {
    const int64_t now = 1800000000;
    const uint32_t normal = FILE_ATTRIBUTE_ARCHIVE;
    EXPECT_TRUE(IsExpired(now, now - 10 * 86400, normal, 10));
    EXPECT_FALSE(IsExpired(now, now - 10 * 86400 + 1, normal, 10));
    EXPECT_FALSE(IsExpired(now, now - 100 * 86400, normal | FILE_ATTRIBUTE_READONLY, 10));
    EXPECT_FALSE(IsExpired(now, now - 100 * 86400, INVALID_FILE_ATTRIBUTES, 10));
    EXPECT_TRUE(IsExpired(now, now, normal, 0));
    EXPECT_FALSE(IsExpired(now, now + 5, normal, 0));
}

TEST(ExpireOldFiles, NeverThroughALink) {
    const uint32_t folder = FILE_ATTRIBUTE_DIRECTORY;
    const uint32_t link = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    const struct {
        uint32_t folder;
        uint32_t parent;
        bool expires;
    } cases[] = {
        {folder, folder, true},
        {link, folder, false},                      // the trace folder is a junction
        {folder, link, false},                      // the folder above it is
        {INVALID_FILE_ATTRIBUTES, folder, false},
        {FILE_ATTRIBUTE_ARCHIVE, folder, false},    // a file in the folder's place
    };
    for (const auto& c : cases) EXPECT_EQ(ExpiresInFolder(c.folder, c.parent), c.expires) << c.folder << " " << c.parent;
}

TEST(FileAttributes, ReadsAndChangesTheWord) {
    ScopedTempFolder root;
    const WideString file = root.Join(L"ro.txt");
    ASSERT_TRUE(WriteFileBytes(file, "x"));
    ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    const FileAttributes attributes(file + L"\\");
    ASSERT_FALSE(attributes.Failed());
    EXPECT_EQ(attributes.Path(), file);
    EXPECT_NE(attributes.Has(FILE_ATTRIBUTE_READONLY), 0u);
    EXPECT_TRUE(attributes.MakeWritable());
    EXPECT_EQ(FileAttributes(file).Has(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN), 0u);
    EXPECT_TRUE(FileAttributes(root.Join(L"missing")).Failed());
    EXPECT_EQ(FileAttributes(root.Join(L"missing")).Path(), L"");
}

}  // namespace

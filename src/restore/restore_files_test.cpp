#include "restore/restore_files.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/windows_headers.h"
#include "config/directory_ops.h"
#include "text/path_text.h"
#include "restore/stick_records.h"
#include "test_support.h"
#include "verify/file_digest.h"

namespace {

// A file on the "stick" with its line, and the item that restores it to a target.
struct OneFile {
    ScopedTempFolder temp;
    WideString stickPath = temp.Join(L"stick\\a b.txt");
    RestoreItem item;

    explicit OneFile(const std::string& bytes, const std::string& listed) {
        CreateDirectoryW(temp.Join(L"stick").c_str(), nullptr);
        WriteFileBytes(stickPath, bytes);
        item.relative = L"C\\a b.txt";
        item.file.relative = item.relative;
        item.file.onStick = true;
        item.file.listed = true;
        item.file.size = bytes.size();
        item.file.digest = DigestOfBytes(listed.data(), listed.size());
        item.target = temp.Join(L"target\\C\\a b.txt");
    }
};

TEST(RestoreFile, ComesBackCheckedWithItsTimeAndReadOnlyAttribute) {
    OneFile one("kept bytes", "kept bytes");
    FILETIME written = {0x12345678, 0x01D00000};
    {
        HANDLE file = CreateFileW(one.stickPath.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        SetFileTime(file, nullptr, nullptr, &written);
        CloseHandle(file);
    }
    SetFileAttributesW(one.stickPath.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(RestoreFile(one.item, one.stickPath, false, L"S").outcome, RestoreOutcome::Restored);
    EXPECT_EQ(ReadFileBytes(one.item.target), "kept bytes");
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    ASSERT_TRUE(GetFileAttributesExW(one.item.target.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(data.ftLastWriteTime.dwLowDateTime, written.dwLowDateTime);
    EXPECT_EQ(data.ftLastWriteTime.dwHighDateTime, written.dwHighDateTime);
    EXPECT_NE(data.dwFileAttributes & FILE_ATTRIBUTE_READONLY, 0u);
    // Once there, the same bytes are left alone.
    EXPECT_EQ(RestoreFile(one.item, one.stickPath, false, L"S").outcome, RestoreOutcome::AlreadyThere);
    SetFileAttributesW(one.item.target.c_str(), FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesW(one.stickPath.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(RestoreFile, BytesThatDoNotMatchTheirLineNeverReachTheTarget) {
    OneFile one("decayed bytes", "original bytes");
    EXPECT_EQ(RestoreFile(one.item, one.stickPath, false, L"S").outcome, RestoreOutcome::Damaged);
    EXPECT_EQ(GetFileAttributesW(one.item.target.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW((one.item.target + L".brisk-restoring").c_str()), INVALID_FILE_ATTRIBUTES);
    WideString problem;
    EXPECT_EQ(CheckStoredFile(one.item.file, one.stickPath, &problem), RestoreOutcome::Damaged);
    one.item.file.listed = false;
    EXPECT_EQ(RestoreFile(one.item, one.stickPath, false, L"S").outcome, RestoreOutcome::NoLine);
    EXPECT_EQ(CheckStoredFile(one.item.file, one.stickPath, &problem), RestoreOutcome::NoLine);
}

TEST(RestoreFile, AnExistingFileWithOtherBytesStaysOrMovesAsideNeverAway) {
    OneFile one("backup bytes", "backup bytes");
    CreateDirectoryTree(ParentPath(one.item.target));
    ASSERT_TRUE(WriteFileBytes(one.item.target, "newer bytes"));
    EXPECT_EQ(RestoreFile(one.item, one.stickPath, false, L"S").outcome, RestoreOutcome::KeptExisting);
    EXPECT_EQ(ReadFileBytes(one.item.target), "newer bytes");
    const RestoreResult replaced = RestoreFile(one.item, one.stickPath, true, L"2026-12-08_091500");
    EXPECT_EQ(replaced.outcome, RestoreOutcome::Restored);
    EXPECT_EQ(replaced.keptAs, one.temp.Join(L"target\\C\\a b (before restore 2026-12-08_091500).txt"));
    EXPECT_EQ(ReadFileBytes(replaced.keptAs), "newer bytes");
    EXPECT_EQ(ReadFileBytes(one.item.target), "backup bytes");
}

TEST(StoredFiles, TheWalkAndTheListMeetWhateverTheCaseAndEmptyFoldersAreNamed) {
    ScopedTempFolder temp;
    const WideString folder = temp.Join(L"PC01");
    CreateDirectoryTree(folder + L"\\C\\Data\\empty");
    CreateDirectoryTree(folder + L"\\C\\Data\\full");
    WriteFileBytes(folder + L"\\C\\Data\\full\\Sheet.xls", "abc");
    WriteFileBytes(folder + L"\\C\\Data\\unlisted.txt", "x");
    const Digest digest = DigestOfBytes("abc", 3);
    const WideString hex = DigestHex(digest);
    WriteFileBytes(temp.Join(L"PC01.sha256"), std::string(hex.begin(), hex.end()) +
                                                  "  C/Data/full/sheet.xls\n" + std::string(64, '0') +
                                                  "  C/Data/gone.txt\n" + std::string(64, '0') + "  ../PC02/x\n");
    StringList empty;
    std::vector<StoredFile> files = StoredFilesOf(folder, temp.Join(L"PC01.sha256"), &empty);
    std::sort(files.begin(), files.end(), [](const StoredFile& a, const StoredFile& b) { return a.relative < b.relative; });
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[0].relative, L"C\\Data\\full\\Sheet.xls");
    EXPECT_TRUE(files[0].onStick && files[0].listed && files[0].digest == digest && files[0].size == 3);
    EXPECT_EQ(files[1].relative, L"C\\Data\\gone.txt");
    EXPECT_TRUE(!files[1].onStick && files[1].listed);
    EXPECT_EQ(files[2].relative, L"C\\Data\\unlisted.txt");
    EXPECT_TRUE(files[2].onStick && !files[2].listed);
    EXPECT_EQ(empty, StringList{L"C\\Data\\empty"});
}

}  // namespace

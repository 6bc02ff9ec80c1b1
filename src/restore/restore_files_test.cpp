#include "restore/restore_files.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/windows_headers.h"
#include "config/directory_ops.h"
#include "text/path_text.h"
#include "points/stick_records.h"
#include "test_support.h"
#include "verify/file_digest.h"

namespace {

// A file on the "stick" with its line, and the item that restores it to a target.
struct OneFile {
    ScopedTempFolder temp;
    WideString stickPath = temp.Join(L"stick\\a b.txt");
    StoredFile file;
    RestoreItem item;

    explicit OneFile(const std::string& bytes, const std::string& listed) {
        CreateDirectoryW(temp.Join(L"stick").c_str(), nullptr);
        WriteFileBytes(stickPath, bytes);
        file.relative = L"C\\a b.txt";
        file.onStick = true;
        file.listed = true;
        file.size = bytes.size();
        file.digest = DigestOfBytes(listed.data(), listed.size());
        item.file = &file;
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
    EXPECT_EQ(CheckStoredFile(one.file, one.stickPath, &problem), RestoreOutcome::Damaged);
    one.file.listed = false;
    EXPECT_EQ(RestoreFile(one.item, one.stickPath, false, L"S").outcome, RestoreOutcome::NoLine);
    EXPECT_EQ(CheckStoredFile(one.file, one.stickPath, &problem), RestoreOutcome::NoLine);
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

// The temporary files beside a target.
StringList TemporaryFilesIn(const WideString& folder) {
    StringList names;
    WIN32_FIND_DATAW entry = {};
    const HANDLE find = FindFirstFileW((folder + L"\\*.brisk-restoring").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        names.push_back(entry.cFileName);
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

TEST(RestoreFile, TheFinalRenameNeverReplacesAFileThatAppearedMeanwhile) {
    OneFile one("backup bytes", "backup bytes");
    RestoreSeam seam;
    WideString seen;
    seam.beforeRename = [&](const WideString& temporary) {
        seen = temporary;
        // The bytes are checked and the temporary file closed: it holds them all.
        EXPECT_EQ(ReadFileBytes(temporary), "backup bytes");
        WriteFileBytes(one.item.target, "appeared meanwhile");
    };
    const RestoreResult result = RestoreFile(one.item, one.stickPath, false, L"S", seam);
    EXPECT_EQ(seen, one.item.target + L".brisk-restoring");
    EXPECT_EQ(result.outcome, RestoreOutcome::Failed);
    EXPECT_EQ(ReadFileBytes(one.item.target), "appeared meanwhile");
    EXPECT_EQ(TemporaryFilesIn(ParentPath(one.item.target)), StringList{});
}

TEST(RestoreFile, WithReplaceTheUsersFileIsPutBackOrNamedWhenTheRestoredOneCannotTakeItsPlace) {
    OneFile one("backup bytes", "backup bytes");
    CreateDirectoryTree(ParentPath(one.item.target));
    const WideString keptAs = one.temp.Join(L"target\\C\\a b (before restore S).txt");
    // The restored file cannot be renamed (a virus scanner took it away):
    // the user's file goes back to its name.
    ASSERT_TRUE(WriteFileBytes(one.item.target, "the user's bytes"));
    RestoreSeam quarantine;
    quarantine.beforeRename = [&](const WideString& temporary) {
        EXPECT_EQ(ReadFileBytes(keptAs), "the user's bytes");  // moved aside
        EXPECT_TRUE(DeleteFileW(temporary.c_str()));
    };
    RestoreResult result = RestoreFile(one.item, one.stickPath, true, L"S", quarantine);
    EXPECT_EQ(result.outcome, RestoreOutcome::Failed);
    EXPECT_EQ(result.keptAs, L"");
    EXPECT_EQ(ReadFileBytes(one.item.target), "the user's bytes");
    EXPECT_EQ(GetFileAttributesW(keptAs.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(TemporaryFilesIn(ParentPath(one.item.target)), StringList{});

    // Another file took the name meanwhile: the user's file stays aside, and the result says where.
    RestoreSeam occupy;
    occupy.beforeRename = [&](const WideString&) { WriteFileBytes(one.item.target, "appeared meanwhile"); };
    result = RestoreFile(one.item, one.stickPath, true, L"S", occupy);
    EXPECT_EQ(result.outcome, RestoreOutcome::Failed);
    EXPECT_EQ(result.keptAs, keptAs);
    EXPECT_EQ(ReadFileBytes(keptAs), "the user's bytes");
    EXPECT_EQ(ReadFileBytes(one.item.target), "appeared meanwhile");
    EXPECT_EQ(TemporaryFilesIn(ParentPath(one.item.target)), StringList{});
}

DWORD WINAPI CloseAfterAWhile(void* handle) {
    Sleep(600);
    CloseHandle(static_cast<HANDLE>(handle));
    return 0;
}

TEST(RestoreFile, AFileHeldForAMomentRightAfterItWasWrittenIsStillRestored) {
    OneFile one("backup bytes", "backup bytes");
    HANDLE held = INVALID_HANDLE_VALUE;
    HANDLE releaser = nullptr;
    RestoreSeam scanner;
    scanner.beforeRename = [&](const WideString& temporary) {
        // As a virus scanner does: the new file opened without sharing, for less than a second.
        held = CreateFileW(temporary.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        releaser = CreateThread(nullptr, 0, CloseAfterAWhile, held, 0, nullptr);
    };
    EXPECT_EQ(RestoreFile(one.item, one.stickPath, false, L"S", scanner).outcome, RestoreOutcome::Restored);
    WaitForSingleObject(releaser, INFINITE);
    CloseHandle(releaser);
    EXPECT_EQ(ReadFileBytes(one.item.target), "backup bytes");
}

TEST(RestoreFile, ALeftoverOfAnEarlierRestoreIsNeverWrittenOverAndLongNamesComeBack) {
    OneFile one("backup bytes", "backup bytes");
    CreateDirectoryTree(ParentPath(one.item.target));
    const WideString leftover = one.item.target + L".brisk-restoring";
    ASSERT_TRUE(WriteFileBytes(leftover, "left by a restore that was stopped"));
    RestoreSeam seam;
    WideString used;
    seam.beforeRename = [&](const WideString& temporary) { used = temporary; };
    EXPECT_EQ(RestoreFile(one.item, one.stickPath, false, L"S", seam).outcome, RestoreOutcome::Restored);
    EXPECT_EQ(used, one.item.target + L"~2.brisk-restoring");
    EXPECT_EQ(ReadFileBytes(leftover), "left by a restore that was stopped");
    EXPECT_EQ(ReadFileBytes(one.item.target), "backup bytes");

    // A name of 250 characters, whose temporary name is shortened to the limit.
    one.item.target = one.temp.Join(L"target\\long\\" + WideString(250, L'n'));
    EXPECT_EQ(RestoreFile(one.item, one.stickPath, false, L"S").outcome, RestoreOutcome::Restored);
    EXPECT_EQ(ReadFileBytes(one.item.target), "backup bytes");
    // And with /replace its earlier self is kept beside it under a name that fits.
    WriteFileBytes(one.item.target, "newer");
    const RestoreResult replaced = RestoreFile(one.item, one.stickPath, true, L"2026-12-08_091500");
    EXPECT_EQ(replaced.outcome, RestoreOutcome::Restored);
    EXPECT_LE(FileNamePart(replaced.keptAs).size(), kNameLimit);
    EXPECT_EQ(ReadFileBytes(replaced.keptAs), "newer");
    EXPECT_EQ(TemporaryFilesIn(one.temp.Join(L"target\\long")), StringList{});
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

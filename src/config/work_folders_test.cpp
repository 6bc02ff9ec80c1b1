#include "config/work_folders.h"

#include <gtest/gtest.h>

#include "common/windows_headers.h"
#include "config/directory_ops.h"
#include "config/program_identity.h"
#include "config/system_paths.h"
#include "test_support.h"

namespace {

TEST(WorkFolders, WorkFolderIsCreatedBelowTheTempFolder) {
    const WideString work = WorkFolder(L"");
    EXPECT_EQ(work, TempFolder() + L"Quillon.tmp\\");
    EXPECT_TRUE(DirectoryExists(work));

    const WideString trace = WorkFolder(L"_trace_test_");
    EXPECT_EQ(trace, work + L"_trace_test_");
    EXPECT_TRUE(DirectoryExists(trace));
    RemoveDirectoryW(trace.c_str());
}

TEST(WorkFolders, ScriptFolderIsCreatedAndEndsInABackslash) {
    const WideString scripts = ScriptFolder();
    EXPECT_TRUE(EndsWith(scripts, L"\\")) << scripts;
    EXPECT_TRUE(DirectoryExists(scripts)) << scripts;
    EXPECT_EQ(scripts, ProgramWorkFolderPath());
    EXPECT_EQ(scripts.find(TempFolder() + L"Quillon.tmp\\"), 0u) << scripts;
}

// Scripts never go where other users of the computer can write.
TEST(WorkFolders, ScriptsGoOnlyToTheUsersOwnFolders) {
    const WideString local = L"C:\\Users\\u\\AppData\\Local";
    const WideString shared = L"C:\\Users\\Public\\Documents";
    const WideString own = L"C:\\Users\\u\\AppData\\Local\\Quillon.tmp\\brisk\\";
    EXPECT_EQ(ScriptFolderChoicesFor(L"C:\\Users\\u\\Temp\\Quillon.tmp\\brisk\\", local, shared, L"brisk"),
              (StringList{L"C:\\Users\\u\\Temp\\Quillon.tmp\\brisk\\", own}));
    EXPECT_EQ(ScriptFolderChoicesFor(shared + L"\\Temp\\Temp\\Quillon.tmp\\brisk\\", local, shared, L"brisk"),
              StringList{own});
    EXPECT_EQ(ScriptFolderChoicesFor(L"c:\\users\\public\\documents\\x\\", L"", shared, L"brisk"), StringList{});
    // The trace log and the demo backup: only below a work folder of this user's own.
    EXPECT_EQ(WorkFolderBaseFor(L"C:\\Temp\\Quillon.tmp", FolderOwnership::Other, local), local + L"\\Quillon.tmp");
    EXPECT_EQ(WorkFolderBaseFor(L"C:\\Temp\\Quillon.tmp", FolderOwnership::ThisUser, local), L"C:\\Temp\\Quillon.tmp");
}

TEST(WorkFolders, ProgramFolderNamePrefersTheRecordedName) {
    EXPECT_EQ(ProgramFolderName(L"brisk.exe", L"renamed.exe", L"20261207"), L"brisk");
    EXPECT_EQ(ProgramFolderName(L"brisk.exe", L"BRISK.EXE", L"20261207"), L"BRISK");
    EXPECT_EQ(ProgramFolderName(L"", L"tool.exe", L"20261207"), L"tool");
    EXPECT_EQ(ProgramFolderName(L"", L"", L"20261207"), L"20261207");
}

TEST(ProgramIdentity, TheNameComesFromTheResourceEvenWhenRenamed) {
    ScopedTempFolder folder;
    const WideString renamed = folder.Join(L"renamed copy.exe");
    ASSERT_TRUE(CopyFileW(FileBesideTestProgram(L"brisk.exe").c_str(), renamed.c_str(), FALSE));
    EXPECT_EQ(ProgramNameFor(renamed), L"brisk.exe");

    // Without a version resource the name on disk is used.
    ErrorStreamCapture errors;
    const WideString plain = folder.Join(L"other.exe");
    ASSERT_TRUE(WriteFileBytes(plain, "MZ"));
    EXPECT_EQ(ProgramNameFor(plain), L"other.exe");
}

TEST(ProgramIdentity, ProgramPathIsThisTestProgram) {
    ErrorStreamCapture errors;
    EXPECT_TRUE(EndsWith(ProgramPath(), L"\\brisk_unit_tests.exe")) << ProgramPath();
    EXPECT_EQ(ProgramName(), L"brisk_unit_tests.exe");
}

}  // namespace

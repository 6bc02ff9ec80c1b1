// Runs the generated scripts the way a backup run does (each its own file
// in a script folder, through the real cmd.exe), with a recorder in place of
// robocopy, and checks the paths that reach the copy command.
#include <gtest/gtest.h>

#include "common/windows_headers.h"
#include "config/directory_ops.h"
#include "job/backup_job.h"
#include "job/script_session.h"
#include "script/backup_folders.h"
#include "script/batch_script.h"
#include "script/command_line.h"
#include "script/text_files.h"
#include "test_support.h"
#include "text/file_status.h"
#include "text/split_join.h"

namespace {


// The argument lists of the recorded calls of one program.
std::vector<StringList> CallsOf(const WideString& record, const WideString& program) {
    std::vector<StringList> calls;
    for (const WideString& line : SplitOnChar(record, L'\n')) {
        StringList fields = SplitOnChar(line, L'\t');
        if (fields.empty() || _wcsicmp(fields[0].c_str(), program.c_str()) != 0) continue;
        fields.erase(fields.begin());
        calls.push_back(fields);
    }
    return calls;
}

TEST(ScriptRun, EveryPathReachesTheCopyCommandExactly) {
    // cmd.exe reads batch files in the OEM code page; the scripts are
    // written for a Japanese system, where that is code page 932. Under Wine
    // the tests give the process a Japanese locale; a Windows machine set up
    // for another language cannot run this test.
    const bool underWine =
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    if (!underWine && GetOEMCP() != 932) GTEST_SKIP() << "needs a Japanese system (code page 932)";
    ASSERT_EQ(GetOEMCP(), 932u) << "run with a Japanese locale (LANG=ja_JP.UTF-8 under Wine)";
    ScopedTempFolder root;
    const WideString bin = root.Join(L"bin");
    ASSERT_TRUE(CreateDirectoryTree(bin));
    for (const wchar_t* name : {L"robocopy.exe", L"timeout.exe"}) {
        ASSERT_TRUE(CopyFileW(FileBesideTestProgram(L"arg_recorder.exe").c_str(),
                              (bin + L"\\" + name).c_str(), FALSE));
    }
    const StringList names = {
        L"Tom & Jerry", L"50% off", L"100%", L"a^b", L"wow!", L"(paren) x",
        L"blank name", L"semi;colon,comma=equal", L"%PATH%", L"\u30C7\u30FC\u30BF \u65E5\u672C",
    };
    StringList folders;
    for (const WideString& name : names) {
        folders.push_back(root.Join(L"src\\" + name));
        ASSERT_TRUE(CreateDirectoryTree(folders.back())) << folders.back();
    }
    const WideString destination = root.Join(L"dest\\_Backup_");

    BackupJob job;
    job.SetMirror(true);
    job.SetDestination(destination);
    const std::vector<PlannedFolder> planned = ResolveBackupFolders(job, job.Context(), folders, DirectoryExists);
    // The script folder's own path needs quoting and '%' doubling too.
    const WideString scriptFolder = root.Join(L"scripts 100% & co") + L"\\";
    ASSERT_TRUE(CreateDirectoryTree(scriptFolder));

    const WideString record = root.Join(L"record.txt");
    ScopedEnvironmentVariable path(L"PATH", bin + L";C:\\windows\\system32;C:\\windows");
    ScopedEnvironmentVariable recordFile(L"BRISK_RECORD_FILE", record);
    // The script asks before each copy, once it has ended, and after the
    // pause that follows (the folder's check, which may copy files again);
    // the folder told to skip is not copied, every other one is.
    const size_t skipped = 1;
    ScriptSession session;
    ASSERT_TRUE(session.Start(scriptFolder, L"run.bat",
                              FolderByFolderScript(job, planned, scriptFolder, session.PipeName())));
    for (size_t i = 0; i < planned.size(); ++i) {
        ASSERT_EQ(planned[i].fate, FolderFate::Mirror) << planned[i].folder << L" " << planned[i].reason;
        ASSERT_TRUE(session.AwaitScript());
        if (i == skipped) {
            ASSERT_TRUE(session.Answer(L"skip"));
        } else {
            ASSERT_TRUE(session.Answer(L"copy"));
            ASSERT_TRUE(session.AwaitScript() && session.Answer(L""));
            // The copy's exit code (the stand-in's 0) reaches the program.
            ASSERT_TRUE(session.AwaitScript());
            const std::optional<int> exitCode = session.TakeCopyExitCode();
            EXPECT_TRUE(exitCode && *exitCode == 0) << i;
            ASSERT_TRUE(session.Answer(L"on"));
        }
        // After the pause: the first folder copies one file again, alone, by name, no mirror.
        ASSERT_TRUE(session.AwaitScript());
        if (i == 0) {
            ASSERT_TRUE(session.Answer(L"again"));
            ASSERT_TRUE(session.AwaitScript() && session.Answer(L"\"" + folders[0] + L"\\sub\" \"" +
                                                                MirrorDestination(folders[0], destination) +
                                                                L"\\sub\" \"a & b (1).txt\""));
            ASSERT_TRUE(session.AwaitScript());
        }
        ASSERT_TRUE(session.Answer(L"next"));
    }
    session.Finish();

    const std::vector<StringList> calls = CallsOf(FromUtf8(ReadFileBytes(record)), L"robocopy.exe");
    ASSERT_EQ(calls.size(), folders.size());
    for (size_t i = 0, call = 0; i < folders.size(); ++i) {
        if (i == skipped) continue;
        ASSERT_GE(calls[call].size(), 3u);
        EXPECT_EQ(calls[call][0], folders[i]);
        EXPECT_EQ(calls[call][1], MirrorDestination(folders[i], destination));
        EXPECT_EQ(calls[call++][2], L"/s");
        if (i != 0) continue;
        EXPECT_EQ(calls[call], (StringList{folders[0] + L"\\sub", MirrorDestination(folders[0], destination) + L"\\sub",
                                           L"a & b (1).txt", L"/r:3", L"/w:5"}));
        ++call;
    }
    // Each copy command waited first; so did the end of the script. The script left nothing behind.
    EXPECT_EQ(CallsOf(FromUtf8(ReadFileBytes(record)), L"timeout.exe").size(), folders.size() + 1);
    EXPECT_FALSE(PathExists(scriptFolder + L"run.bat", true));
}

}  // namespace

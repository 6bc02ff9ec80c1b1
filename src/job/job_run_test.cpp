#include "job/job_run.h"

#include <gtest/gtest.h>

#include "common/windows_headers.h"
#include "job/script_session.h"
#include "test_support.h"
#include "text/file_status.h"

namespace {


// The interpreter runs without AutoRun commands or delayed expansion, and
// only a full path to a cmd.exe is taken from COMSPEC.
TEST(JobRun, TheScriptRunsInTheSystemsOwnInterpreterWithoutItsSettings) {
    EXPECT_EQ(InterpreterCommandLine(L"C:\\windows\\system32\\cmd.exe", L"C:\\a b\\x & y.bat"),
              L"\"C:\\windows\\system32\\cmd.exe\" /d /v:off /c \"\"C:\\a b\\x & y.bat\"\"");
    const WideString system = L"C:\\Windows\\system32";
    const struct {
        const wchar_t* comspec;
        const wchar_t* interpreter;
    } cases[] = {
        {L"D:\\tools\\CMD.EXE", L"D:\\tools\\CMD.EXE"},
        {L"\\\\srv\\s\\cmd.exe", L"\\\\srv\\s\\cmd.exe"},
        {L"cmd.exe", L"C:\\Windows\\system32\\cmd.exe"},
        {L"tools\\cmd.exe", L"C:\\Windows\\system32\\cmd.exe"},
        {L"C:\\windows\\notepad.exe", L"C:\\Windows\\system32\\cmd.exe"},
        {L"", L"C:\\Windows\\system32\\cmd.exe"},
    };
    for (const auto& c : cases) EXPECT_EQ(InterpreterFor(c.comspec, system), c.interpreter) << c.comspec;
}

// A script run in a folder whose path holds a blank and an ampersand, where
// a file of its name is already waiting: that one is neither run nor
// replaced, and the script's own file is gone afterwards.
TEST(JobRun, AScriptRunsFromANewFileThatIsRemovedAfterwards) {
    EXPECT_EQ(NumberedFileName(L"RC_x.bat", 1), L"RC_x.bat");
    EXPECT_EQ(NumberedFileName(L"RC_x.bat", 2), L"RC_x-2.bat");
    EXPECT_EQ(NumberedFileName(L"noextension", 3), L"noextension-3");

    ScopedTempFolder temp;
    const WideString folder = temp.Join(L"with blank & more") + L"\\";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const WideString planted = folder + L"run.bat";
    const WideString plantedMarker = temp.Join(L"planted.txt");
    WriteFileBytes(planted, "@echo planted> \"" + std::string(plantedMarker.begin(), plantedMarker.end()) + "\"\r\n");
    const std::string before = ReadFileBytes(planted);
    const WideString marker = temp.Join(L"marker.txt");

    ScriptSession session;
    EXPECT_TRUE(session.Start(folder, L"run.bat", L"@echo off\r\necho ran> \"" + marker + L"\"\r\n"));
    session.Finish();
    EXPECT_EQ(ReadFileBytes(marker), "ran\r\n");
    EXPECT_FALSE(PathExists(plantedMarker, true));
    EXPECT_EQ(ReadFileBytes(planted), before);
    EXPECT_FALSE(PathExists(folder + L"run-2.bat", true));
}

}  // namespace

#include "job/job_run.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "common/windows_headers.h"
#include "config/work_folders.h"
#include "job/backup_job.h"
#include "test_support.h"
#include "text/file_status.h"

namespace {

bool Contains(const WideString& text, const WideString& part) { return text.find(part) != kNoPosition; }

TEST(JobRun, AJobsOwnScriptIsRunAsItStands) {
    BackupJob job;
    job.SetSource(L"C:\\Data");
    job.SetDestination(L"E:\\Copies");
    job.BuildSingleScript();
    EXPECT_EQ(ScriptTextToRun(job), job.ScriptText());
}

TEST(JobRun, WithoutScriptAnEmptySourceGivesARestrictedSingleScript) {
    BackupJob job;
    job.SetDestination(L"E:\\Copies");
    const WideString script = ScriptTextToRun(job);
    EXPECT_TRUE(Contains(script, L"\\Quillon.tmp\" \"E:\\Copies\"")) << script;
    EXPECT_TRUE(Contains(script, L" /max:1048576 /xf  mfc*.tmp  Thumbs.db  /xd  _Backup_ *.tmp "))
        << script;
    EXPECT_EQ(job.ScriptText(), L"");  // the job itself keeps no script

    job.SetSource(L"C:\\Data");
    const WideString plain = ScriptTextToRun(job);
    EXPECT_FALSE(Contains(plain, L"/max:")) << plain;
    EXPECT_FALSE(Contains(plain, L"/xd")) << plain;
}

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

// A job whose script only leaves a marker file, run from a temporary folder
// whose path holds a blank and an ampersand.
class JobRunInTemp : public ::testing::Test {
protected:
    JobRunInTemp() : folder_(), tmp_(L"TMP", folder_.Join(L"temp with blank & more")) {
        CreateDirectoryW(folder_.Join(L"temp with blank & more").c_str(), nullptr);
    }

    class MarkerJob : public BackupJob {
    public:
        explicit MarkerJob(const WideString& marker) {
            SetSource(L"C:\\Data");
            SetDestination(L"E:\\Copies");
            script_ = L"@echo off\r\necho ran> \"" + marker + L"\"\r\n";
        }
        WideString ScriptText() const override { return script_; }

    private:
        WideString script_;
    };

    ScopedTempFolder folder_;
    ScopedEnvironmentVariable tmp_;
};

TEST_F(JobRunInTemp, WaitingRunsTheScriptToItsEnd) {
    const WideString marker = folder_.Join(L"marker.txt");
    MarkerJob job(marker);
    EXPECT_TRUE(job.Run(SW_SHOWMAXIMIZED, true));
    EXPECT_EQ(ReadFileBytes(marker), "ran\r\n");
    const WideString script = ScriptFolder() + job.ScriptFileName();
    EXPECT_TRUE(Contains(script, L"temp with blank & more\\Quillon.tmp\\")) << script;
    EXPECT_TRUE(PathExists(script, true));
}

TEST_F(JobRunInTemp, WithoutWaitingTheShellStartsIt) {
    const WideString marker = folder_.Join(L"marker.txt");
    MarkerJob job(marker);
    EXPECT_TRUE(job.Run(SW_SHOWNORMAL, false));
    for (int i = 0; i < 200 && !PathExists(marker, true); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_TRUE(PathExists(marker, true));
}

}  // namespace

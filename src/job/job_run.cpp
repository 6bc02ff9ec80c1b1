#include "job/job_run.h"

#include "common/windows_headers.h"
#include "config/system_paths.h"
#include "config/work_folders.h"
#include "job/backup_job.h"
#include "job/shell_request.h"
#include "script/text_files.h"

namespace {

constexpr uint64_t kRestrictedMaxSize = 1048576;

bool StartAndWait(const WideString& interpreter, const WideString& script) {
    WideString commandLine = InterpreterCommandLine(interpreter, script);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return false;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

}  // namespace

WideString ScriptTextToRun(const BackupJob& job) {
    if (!job.ScriptText().empty()) return job.ScriptText();
    BackupJob copy(job);
    if (copy.Source().empty() || copy.Destination().empty()) {
        copy.AddExcludedDir(L"_Backup_");
        copy.AddExcludedDir(L"*.tmp");
        copy.SetExcludeDirsOption(true);
        copy.SetMaxSize(kRestrictedMaxSize);
        copy.SetMaxSizeOption(true);
    }
    copy.BuildSingleScript();
    return copy.ScriptText();
}

WideString InterpreterCommandLine(const WideString& interpreter, const WideString& script) {
    return L"\"" + interpreter + L"\" /c \"\"" + script + L"\"\"";
}

bool RunScriptAndWait(const WideString& script) {
    const WideString comspec = EnvironmentText(L"COMSPEC");
    if (!comspec.empty() && StartAndWait(comspec, script)) return true;
    return StartAndWait(L"cmd.exe", script);
}

bool BackupJob::Run(int showCommand, bool wait) {
    const WideString script = ScriptFolder() + ScriptFileName();
    WriteTextFile(script, ScriptTextToRun(*this));
    if (wait) {
        RunScriptAndWait(script);
        return true;
    }
    ShellRequest request;
    request.SetFile(script);
    request.SetShowCommand(showCommand);
    request.Execute();
    return true;
}

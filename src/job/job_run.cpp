#include "job/job_run.h"

#include <iostream>

#include "common/windows_headers.h"
#include "config/directory_ops.h"
#include "config/name_text.h"
#include "config/system_paths.h"
#include "config/work_folders.h"
#include "job/backup_job.h"
#include "job/shell_request.h"
#include "script/text_files.h"
#include "text/file_status.h"
#include "text/number_text.h"
#include "text/path_text.h"
#include "text/system_error.h"

namespace {

constexpr uint64_t kRestrictedMaxSize = 1048576;

WideString SystemFolder() {
    wchar_t system[MAX_PATH + 1] = {};
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    return length > 0 && length < MAX_PATH ? system : L"C:\\Windows\\system32";
}

bool StartAndWait(const WideString& interpreter, const WideString& script) {
    // The interpreter expands "%NAME%" in its command line, even inside
    // quotes, so the script is named by its file name alone (which holds no
    // '%') and started in its own folder. The interpreter cannot start in a
    // network folder; there the full path is used.
    const WideString folder = ParentPath(script);
    const bool byName = !IsNetworkPath(folder) && !folder.empty();
    WideString commandLine = InterpreterCommandLine(interpreter, byName ? FileNamePart(script) : script);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    const WideString startFolder = AppendSeparator(folder, L'\\');
    if (!CreateProcessW(interpreter.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                        byName ? startFolder.c_str() : nullptr, &startup, &process)) {
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
    return L"\"" + interpreter + L"\" /d /v:off /c \"\"" + script + L"\"\"";
}

WideString InterpreterFor(const WideString& comspec, const WideString& systemFolder) {
    const bool fullPath = (comspec.size() > 3 && comspec[1] == L':' && IsSeparator(comspec[2])) ||
                          IsNetworkPath(comspec);
    if (fullPath && EqualNoCase(FileNamePart(comspec), L"cmd.exe")) return comspec;
    return JoinPath(systemFolder, L"cmd.exe");
}

bool RunScriptAndWait(const WideString& script) {
    // Only the command interpreter runs a batch script: COMSPEC naming any
    // other program would start that program and copy nothing.
    const WideString systemFolder = SystemFolder();
    const WideString chosen = InterpreterFor(EnvironmentText(L"COMSPEC"), systemFolder);
    if (StartAndWait(chosen, script)) return true;
    DWORD error = GetLastError();
    const WideString fallback = JoinPath(systemFolder, L"cmd.exe");
    if (chosen != fallback) {
        if (StartAndWait(fallback, script)) return true;
        error = GetLastError();
    }
    std::wcerr << L"Can't start the command interpreter for " << script << L": " << SystemReason(error)
               << std::endl;
    return false;
}

WideString WriteScriptFile(const WideString& fileName, const WideString& text, WideString* problem) {
    // A folder that cannot be written is passed over at once, not retried.
    for (const WideString& folder : ScriptFolderChoices()) {
        *problem = WriteProblemOf(folder);
        if (!problem->empty()) continue;
        if (WriteTextFile(folder + fileName, text)) return folder + fileName;
        *problem = L"the script " + fileName + L" could not be written into " + folder;
    }
    return WideString();
}

WideString UsableScriptFolder(WideString* problem) {
    for (const WideString& folder : ScriptFolderChoices()) {
        *problem = WriteProblemOf(folder);
        if (problem->empty()) return folder;
    }
    return WideString();
}

bool RunScriptIn(const WideString& folder, const WideString& fileName, const WideString& text) {
    const WideString script = folder + fileName;
    if (!WriteTextFile(script, text)) {
        std::wcerr << L"Can't make a work folder: the script " << fileName << L" could not be written into "
                   << folder << std::endl;
        return false;
    }
    return RunScriptAndWait(script);
}

void PauseWithTimeout(unsigned seconds) {
    const WideString program = JoinPath(SystemFolder(), L"timeout.exe");
    WideString commandLine = L"timeout /t " + IntegerToText(seconds, 10);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

bool BackupJob::Run(int showCommand, bool wait) {
    WideString problem;
    const WideString script = WriteScriptFile(ScriptFileName(), ScriptTextToRun(*this), &problem);
    if (script.empty()) {
        std::wcerr << L"Can't make a work folder: " << problem << std::endl;
        return false;
    }
    if (wait) return RunScriptAndWait(script);
    ShellRequest request;
    request.SetFile(script);
    request.SetShowCommand(showCommand);
    request.Execute();
    return true;
}

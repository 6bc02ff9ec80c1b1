#include "job/job_run.h"


#include "common/scoped_handle.h"
#include "common/windows_headers.h"
#include "config/directory_ops.h"
#include "config/folder_owner.h"
#include "config/name_text.h"
#include "config/system_paths.h"
#include "config/work_folders.h"
#include "script/cmd_text.h"
#include "script/text_files.h"
#include "text/console_output.h"
#include "text/file_status.h"
#include "text/number_text.h"
#include "text/path_text.h"
#include "text/system_error.h"
#include "text/messages.h"

namespace {

constexpr unsigned kScriptNameTries = 100;
constexpr int kStartAttempts = 3;
constexpr DWORD kStartRetryMilliseconds = 200;

WideString SystemFolder() {
    wchar_t system[MAX_PATH + 1] = {};
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    return length > 0 && length < MAX_PATH ? system : L"C:\\Windows\\system32";
}

// Starts the program in this console. A start that fails for any reason
// but a missing program is tried twice more: a busy system can refuse one
// start among the many of a run.
bool StartProcess(const WideString& program, WideString* commandLine, const wchar_t* folder,
                  STARTUPINFOW* startup, PROCESS_INFORMATION* process) {
    for (int attempt = 1;; ++attempt) {
        if (CreateProcessW(program.c_str(), &(*commandLine)[0], nullptr, nullptr, TRUE, 0, nullptr, folder, startup,
                           process)) {
            return true;
        }
        const DWORD error = GetLastError();
        if (attempt == kStartAttempts || error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return false;
        Sleep(kStartRetryMilliseconds);
        SetLastError(error);
    }
}

// Starts the interpreter on the script in this console; the process handle,
// or null.
HANDLE StartInterpreter(const WideString& interpreter, const WideString& script) {
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
    if (!StartProcess(interpreter, &commandLine, byName ? startFolder.c_str() : nullptr, &startup, &process)) {
        return nullptr;
    }
    CloseHandle(process.hThread);
    return process.hProcess;
}

}  // namespace

WideString InterpreterCommandLine(const WideString& interpreter, const WideString& script) {
    return L"\"" + interpreter + L"\" /d /v:off /c \"\"" + script + L"\"\"";
}

WideString InterpreterFor(const WideString& comspec, const WideString& systemFolder) {
    const bool fullPath = (comspec.size() > 3 && comspec[1] == L':' && IsSeparator(comspec[2])) ||
                          IsNetworkPath(comspec);
    if (fullPath && EqualNoCase(FileNamePart(comspec), L"cmd.exe")) return comspec;
    return JoinPath(systemFolder, L"cmd.exe");
}

HANDLE StartScript(const WideString& script) {
    // Only the command interpreter runs a batch script: COMSPEC naming any
    // other program would start that program and copy nothing.
    const WideString systemFolder = SystemFolder();
    // Windows' interpreter then finds no command in the current folder
    // without a path; the script's own folder is this user's anyway.
    SetEnvironmentVariableW(L"NoDefaultCurrentDirectoryInExePath", L"1");
    const WideString chosen = InterpreterFor(EnvironmentText(L"COMSPEC"), systemFolder);
    HANDLE process = StartInterpreter(chosen, script);
    if (process != nullptr) return process;
    DWORD error = GetLastError();
    const WideString fallback = JoinPath(systemFolder, L"cmd.exe");
    if (chosen != fallback) {
        process = StartInterpreter(fallback, script);
        if (process != nullptr) return process;
        error = GetLastError();
    }
    PrintErrorLine(Say(Message::CantStartInterpreter, {script, SystemReason(error)}));
    return nullptr;
}

WideString UsableScriptFolder(WideString* problem) {
    for (const WideString& folder : ScriptFolderChoices()) {
        // Made for this user alone: nobody else may put a program there.
        CreatePrivateFolderTree(folder);
        *problem = WriteProblemOf(folder);
        if (!problem->empty()) continue;
        // Another user's folder (or a link) could hold a program that the
        // script would run: only this user's own folder, and its parent, do.
        const WideString trimmed = StripTrailingSeparator(folder);
        if (OwnershipOf(trimmed) != FolderOwnership::ThisUser ||
            OwnershipOf(ParentPath(trimmed)) != FolderOwnership::ThisUser) {
            *problem = Say(Message::BelongsToAnotherUser, {trimmed});
            continue;
        }
        if (OthersCanWrite(trimmed) || OthersCanWrite(ParentPath(trimmed))) {
            *problem = Say(Message::OthersMayWrite, {trimmed});
            continue;
        }
        return folder;
    }
    return WideString();
}

WideString NumberedFileName(const WideString& fileName, unsigned number) {
    if (number <= 1) return fileName;
    const size_t dot = fileName.rfind(L'.');
    const WideString stem = dot == kNoPosition ? fileName : fileName.substr(0, dot);
    const WideString extension = dot == kNoPosition ? WideString() : fileName.substr(dot);
    return stem + L"-" + IntegerToText(number, 10) + extension;
}

HANDLE CreateScriptFile(const WideString& folder, const WideString& fileName, const WideString& text,
                        WideString* script) {
    const ByteVector bytes = ToCodePage(text, ScriptCodePage());
    // A new file, never one that was there before (someone else's, or a
    // link): the first free numbered name. It stays open without write
    // sharing until the interpreter has ended, so nobody changes it on the
    // way.
    HANDLE handle = INVALID_HANDLE_VALUE;
    DWORD error = ERROR_SUCCESS;
    for (unsigned number = 1; number <= kScriptNameTries && handle == INVALID_HANDLE_VALUE; ++number) {
        *script = folder + NumberedFileName(fileName, number);
        handle = CreateFileW(script->c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        error = GetLastError();
        if (handle == INVALID_HANDLE_VALUE && error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
    }
    ScopedFileHandle file(handle);
    DWORD written = 0;
    if (file.Valid() && WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size() && FlushFileBuffers(file.Get())) {
        return file.Release();
    }
    if (file.Valid()) error = GetLastError();
    PrintErrorLine(Say(Message::ScriptNotWritten, {fileName, folder, SystemReason(error)}));
    if (file.Valid()) DeleteFileW(script->c_str());
    return INVALID_HANDLE_VALUE;
}

// Test equipment: a robocopy work-alike for Wine, whose own robocopy copies
// nothing. Never shipped with the program.
//
// Scenarios make things happen while a backup's copy starts:
// BRISK_ROBOCOPY_TOUCH=<file> adds a line to that source file right before a
// mirror of a folder that holds it (a file saved between the folder's plan
// and its copy); BRISK_ROBOCOPY_STOP=<folder> ends every brisk.exe, as a
// closed window would, when a mirror of that folder starts, and copies nothing.
#include <windows.h>
#include <tlhelp32.h>

#include <cwctype>
#include <string>
#include <vector>

#include "mirror.h"
#include "options.h"

namespace {

void Print(const std::wstring& text) {
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(output, &mode)) {
        WriteConsoleW(output, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    const UINT codePage = GetConsoleOutputCP() != 0 ? GetConsoleOutputCP() : GetACP();
    const int size = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    if (size <= 0) return;
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), &bytes[0], size,
                        nullptr, nullptr);
    WriteFile(output, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

const wchar_t kUsage[] =
    L"\r\n"
    L"         Simple Usage :: ROBOCOPY source destination /MIR\r\n"
    L"\r\n"
    L"  Known switches: /S /E /PURGE /MIR /FFT /R:n /W:n /XO /XX /XJD /MAXAGE:n\r\n"
    L"                  /MINAGE:n /MIN:n /MAX:n /XF file... /XD dir... /L /LEV:n\r\n";

std::wstring Environment(const wchar_t* name) {
    wchar_t value[2048] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, 2048);
    return length > 0 && length < 2048 ? value : L"";
}

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

bool Holds(const std::wstring& folder, const std::wstring& path) {
    const std::wstring prefix = Lower(folder) + L"\\";
    return Lower(path).compare(0, prefix.size(), prefix) == 0;
}

void AddLine(const std::wstring& file) {
    HANDLE handle = CreateFileW(file.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return;
    static const char line[] = "saved again while the backup ran\r\n";
    DWORD written = 0;
    WriteFile(handle, line, sizeof line - 1, &written, nullptr);
    CloseHandle(handle);
}

void EndBackupProgram() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (Lower(entry.szExeFile) != L"brisk.exe") continue;
        HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID);
        if (process != nullptr) {
            TerminateProcess(process, 3);
            WaitForSingleObject(process, 10000);
            CloseHandle(process);
        }
    }
    CloseHandle(snapshot);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::wstring> arguments(argv + 1, argv + argc);
    const ParseResult parsed = ParseRobocopyArguments(arguments);
    if (!parsed.ok) {
        Print(L"-------------------------------------------------------------------------------\r\n"
              L"   ROBOCOPY     ::     Robust File Copy for Windows     (test work-alike)\r\n"
              L"-------------------------------------------------------------------------------\r\n\r\n" +
              parsed.error + L"\r\n" + kUsage);
        return kSeriousError;
    }
    if (parsed.options.mirror) {
        const std::wstring touched = Environment(L"BRISK_ROBOCOPY_TOUCH");
        if (!touched.empty() && Holds(parsed.options.source, touched)) AddLine(touched);
        const std::wstring stopped = Environment(L"BRISK_ROBOCOPY_STOP");
        if (!stopped.empty() && Lower(stopped) == Lower(parsed.options.source)) {
            EndBackupProgram();
            return kSeriousError;
        }
    }
    std::wstring report;
    const int exitCode = RunMirror(parsed.options, &report);
    Print(report);
    return exitCode;
}

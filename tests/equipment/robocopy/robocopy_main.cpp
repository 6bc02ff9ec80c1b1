// Test equipment: a robocopy work-alike for Wine, whose own robocopy copies
// nothing. Never shipped with the program.
#include <windows.h>

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
    std::wstring report;
    const int exitCode = RunMirror(parsed.options, &report);
    Print(report);
    return exitCode;
}

// Test equipment: records how it was called. Copied under the names of the
// programs a generated script calls (robocopy.exe, timeout.exe), it appends
// one line per call to the file named by BRISK_RECORD_FILE: its own file
// name and then each argument, separated by TABs, in UTF-8. With
// BRISK_RECORD_PLACES set, it also appends its own full path to that file,
// so that a test can tell which of two programs of one name ran.
#include <windows.h>

#include <string>

namespace {

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], size,
                        nullptr, nullptr);
    return bytes;
}

bool Append(const wchar_t* path, const std::string& bytes) {
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    wchar_t path[MAX_PATH + 1] = {};
    if (GetEnvironmentVariableW(L"BRISK_RECORD_FILE", path, MAX_PATH) == 0) return 0;
    wchar_t module[MAX_PATH + 1] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring name = module;
    name = name.substr(name.find_last_of(L"\\/") + 1);

    std::wstring line = name;
    for (int i = 1; i < argc; ++i) line += L"\t" + std::wstring(argv[i]);
    const std::string bytes = Utf8(line + L"\n");

    if (!Append(path, bytes)) return 1;
    wchar_t places[MAX_PATH + 1] = {};
    if (GetEnvironmentVariableW(L"BRISK_RECORD_PLACES", places, MAX_PATH) != 0) {
        Append(places, Utf8(std::wstring(module) + L"\n"));
    }
    return 0;
}

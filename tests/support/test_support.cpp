#include "test_support.h"

#include <iostream>

#include "common/windows_headers.h"
#include "text/canonical_path.h"
#include "text/number_text.h"
#include "text/path_text.h"

void DeleteTree(const WideString& folder) {
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const WideString name = entry.cFileName;
            if (name == L"." || name == L"..") continue;
            const WideString path = folder + L"\\" + name;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                DeleteTree(path);
            } else {
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

ScopedTempFolder::ScopedTempFolder() {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    static unsigned counter = 0;
    const WideString base = StripTrailingSeparator(temp) + L"\\brisk_test_" +
                            IntegerToText(GetCurrentProcessId(), 10) + L"_";
    for (;;) {
        path_ = base + IntegerToText(++counter, 10);
        if (CreateDirectoryW(path_.c_str(), nullptr)) break;
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
}

// In the long form: tests make trees deeper than 260 characters.
ScopedTempFolder::~ScopedTempFolder() { DeleteTree(LongPathForm(path_)); }

WideString ScopedTempFolder::Join(const WideString& relative) const {
    return path_ + L"\\" + relative;
}

ErrorStreamCapture::ErrorStreamCapture() : captured_(ConsoleCapture::Stream::Error) {}

ErrorStreamCapture::~ErrorStreamCapture() = default;

StringList ErrorStreamCapture::Lines() const {
    StringList lines;
    const WideString text = Text();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == kNoPosition) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

WideString FileBesideTestProgram(const WideString& name) {
    wchar_t module[MAX_PATH + 1] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    return ParentPath(module) + L"\\" + name;
}

bool WriteFileBytes(const WideString& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = bytes.empty() || (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()),
                                                &written, nullptr) &&
                                      written == bytes.size());
    CloseHandle(file);
    return ok;
}

std::string ReadFileBytes(const WideString& path) {
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char chunk[65536];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &read, nullptr) && read > 0) bytes.append(chunk, read);
    CloseHandle(file);
    return bytes;
}

WideString QuoteArgument(const WideString& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == kNoPosition) return argument;
    WideString quoted = L"\"";
    size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') {
            quoted.append(backslashes * 2 + 1, L'\\');
        } else {
            quoted.append(backslashes, L'\\');
        }
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    quoted += L'"';
    return quoted;
}

ScratchRegistryKey::ScratchRegistryKey(const WideString& subkey) : subkey_(subkey) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) == ERROR_SUCCESS) {
        key_ = key;
    }
}

ScratchRegistryKey::~ScratchRegistryKey() { Remove(); }

bool ScratchRegistryKey::SetText(const WideString& name, const WideString& text,
                                 unsigned long type) {
    if (key_ == nullptr) return false;
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(static_cast<HKEY>(key_), name.c_str(), 0, type,
                          reinterpret_cast<const BYTE*>(text.c_str()), bytes) == ERROR_SUCCESS;
}

bool ScratchRegistryKey::SetDword(const WideString& name, unsigned long value) {
    if (key_ == nullptr) return false;
    const DWORD data = value;
    return RegSetValueExW(static_cast<HKEY>(key_), name.c_str(), 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&data), sizeof(data)) == ERROR_SUCCESS;
}

bool ScratchRegistryKey::SetBytes(const WideString& name, const std::string& bytes,
                                  unsigned long type) {
    if (key_ == nullptr) return false;
    return RegSetValueExW(static_cast<HKEY>(key_), name.c_str(), 0, type,
                          reinterpret_cast<const BYTE*>(bytes.data()),
                          static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

void ScratchRegistryKey::Remove() {
    if (key_ == nullptr) return;
    RegCloseKey(static_cast<HKEY>(key_));
    key_ = nullptr;
    RemoveRegistryTree(subkey_);
}

void RemoveRegistryTree(const WideString& subkey) {
    RegDeleteTreeW(HKEY_CURRENT_USER, subkey.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, subkey.c_str());
}

ProgramRun RunCaptured(const WideString& program, const StringList& arguments) {
    ScopedTempFolder folder;
    const WideString outputPath = folder.Join(L"out.txt");
    const WideString errorPath = folder.Join(L"err.txt");
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE output = CreateFileW(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    HANDLE errors = CreateFileW(errorPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);

    WideString commandLine = QuoteArgument(program);
    for (const WideString& argument : arguments) commandLine += L" " + QuoteArgument(argument);

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = output;
    startup.hStdError = errors;
    PROCESS_INFORMATION process = {};
    ProgramRun run;
    if (CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                       nullptr, &startup, &process)) {
        WaitForSingleObject(process.hProcess, 60000);
        DWORD exitCode = 0;
        GetExitCodeProcess(process.hProcess, &exitCode);
        run.exitCode = exitCode;
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(output);
    CloseHandle(errors);
    run.output = ReadFileBytes(outputPath);
    run.errors = ReadFileBytes(errorPath);
    return run;
}

ScopedEnvironmentVariable::ScopedEnvironmentVariable(const wchar_t* name, const WideString& value)
    : name_(name) {
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size > 0) {
        old_.assign(size, L'\0');
        const DWORD length = GetEnvironmentVariableW(name, &old_[0], size);
        old_.resize(length);
        hadOld_ = true;
    }
    SetEnvironmentVariableW(name, value.c_str());
}

ScopedEnvironmentVariable::~ScopedEnvironmentVariable() {
    SetEnvironmentVariableW(name_.c_str(), hadOld_ ? old_.c_str() : nullptr);
}

bool SetLastWriteDaysAgo(const WideString& path, double days) {
    HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER time;
    time.LowPart = now.dwLowDateTime;
    time.HighPart = now.dwHighDateTime;
    time.QuadPart -= static_cast<ULONGLONG>(days * 86400.0 * 10000000.0);
    FILETIME then;
    then.dwLowDateTime = time.LowPart;
    then.dwHighDateTime = time.HighPart;
    const bool ok = SetFileTime(file, nullptr, nullptr, &then) != 0;
    CloseHandle(file);
    return ok;
}

WideString WithSlashes(WideString path) {
    for (wchar_t& c : path) {
        if (c == L'\\') c = L'/';
    }
    return path;
}

bool StartsWith(const WideString& text, const WideString& start) { return text.rfind(start, 0) == 0; }

bool EndsWith(const WideString& text, const WideString& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool RunningUnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

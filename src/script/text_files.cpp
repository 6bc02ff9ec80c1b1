#include "script/text_files.h"

#include <iostream>

#include "common/windows_headers.h"
#include "script/command_line.h"
#include "text/file_status.h"
#include "text/path_text.h"
#include "text/system_error.h"

namespace {

constexpr int kWriterAttempts = 100;
constexpr DWORD kRetryPauseMilliseconds = 100;
constexpr DWORD kRewritePauseMilliseconds = 10;
constexpr int kLastRewrite = 10;

// Opens the file, trying up to the given number of times with the visible
// attempt counter.
FILE* OpenAttempts(const WideString& path, const wchar_t* mode, int attempts) {
    for (int attempt = 1; attempt <= attempts; ++attempt) {
        FILE* file = _wfopen(path.c_str(), mode);
        if (file != nullptr) return file;
        Sleep(kRetryPauseMilliseconds);
        std::wcerr << attempt << L"\r" << std::flush;
    }
    return nullptr;
}

void ReportCannotOpen(const WideString& path) {
    std::wcerr << L"Can't open wb  " << path << std::endl;
}

ByteVector Convert(const WideString& text, UINT codePage, DWORD flags, const char* fallback) {
    const WideString cut = text.substr(0, text.find(L'\0'));
    if (cut.empty()) return ByteVector();
    const int length = static_cast<int>(cut.size());
    const int size =
        WideCharToMultiByte(codePage, flags, cut.c_str(), length, nullptr, 0, fallback, nullptr);
    if (size <= 0) return ByteVector();
    ByteVector bytes(static_cast<size_t>(size));
    const int written = WideCharToMultiByte(codePage, flags, cut.c_str(), length,
                                            reinterpret_cast<char*>(bytes.data()), size, fallback,
                                            nullptr);
    if (written <= 0) return ByteVector();
    bytes.resize(static_cast<size_t>(written));
    return bytes;
}

}  // namespace

ByteVector ToCodePage932(const WideString& text) { return ToCodePage(text, 932); }

ByteVector ToCodePage(const WideString& text, unsigned codePage) {
    if (codePage == CP_UTF8) return ToUtf8(text);
    return Convert(text, codePage, WC_NO_BEST_FIT_CHARS, "_");
}

WideString FromUtf8(const std::string& bytes) {
    if (bytes.empty()) return WideString();
    const int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (length <= 0) return WideString();
    WideString text(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], length);
    return text;
}

ByteVector ToUtf8(const WideString& text) { return Convert(text, CP_UTF8, 0, nullptr); }

bool WriteTextFile(const WideString& path, const WideString& text) {
    const ByteVector bytes = ToCodePage932(text);
    const bool textBeforeNul = !text.empty() && text.front() != L'\0';
    if (textBeforeNul && bytes.empty()) return false;
    return WriteBytesWithRetry(path, bytes, 0);
}

bool WriteBytesWithRetry(const WideString& path, const ByteVector& bytes, int rewriteNumber) {
    if (path.empty()) return false;
    FILE* file = OpenAttempts(path, L"wb", kWriterAttempts);
    if (file == nullptr) {
        ReportCannotOpen(path);
        return false;
    }
    const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    // A short write or a failed close (a full disk shows there) leaves a
    // file that must not be used.
    if (!(std::fclose(file) == 0 && written)) {
        std::wcerr << L"Can't write " << path << std::endl;
        return false;
    }
    if (bytes.empty()) return true;
    if (FileStatus(path).Size() == static_cast<int64_t>(bytes.size())) return true;
    if (rewriteNumber > kLastRewrite) return false;
    Sleep(kRewritePauseMilliseconds);
    return WriteBytesWithRetry(path, bytes, rewriteNumber + 1);
}

bool WriteUtf8Lines(const WideString& path, const StringList& lines) {
    if (path.empty()) return false;
    FILE* file = OpenAttempts(path, L"wb", kWriterAttempts);
    if (file == nullptr) {
        ReportCannotOpen(path);
        return false;
    }
    bool written = true;
    for (const WideString& line : lines) {
        const ByteVector bytes = ToUtf8(line);
        if (!bytes.empty()) written = written && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        written = written && std::fwrite("\r\n", 1, 2, file) == 2;
    }
    if (!(std::fclose(file) == 0 && written)) {
        std::wcerr << L"Can't write " << path << std::endl;
        return false;
    }
    return true;
}

WideString FolderListFilePath(const WideString& folder) {
    return AppendSeparator(folder, L'\\') + ComputerName() + L".txt";
}

WideString ReplaceFolderListFile(const StringList& lines, const WideString& folder) {
    const WideString path = FolderListFilePath(folder);
    const WideString temporary = path + L".new";
    ByteVector bytes;
    for (const WideString& line : lines) {
        const ByteVector text = ToUtf8(line);
        bytes.insert(bytes.end(), text.begin(), text.end());
        bytes.push_back('\r');
        bytes.push_back('\n');
    }
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return SystemReason(GetLastError());
    DWORD written = 0;
    bool complete = bytes.empty() || (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()),
                                                &written, nullptr) &&
                                      written == bytes.size());
    DWORD error = complete ? ERROR_SUCCESS : GetLastError();
    // A full disk may show only when the data is flushed or the file closed.
    if (complete && !FlushFileBuffers(file)) {
        complete = false;
        error = GetLastError();
    }
    if (!CloseHandle(file) && complete) {
        complete = false;
        error = GetLastError();
    }
    if (complete && MoveFileExW(temporary.c_str(), path.c_str(),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return WideString();
    }
    if (complete) error = GetLastError();
    DeleteFileW(temporary.c_str());
    return SystemReason(error == ERROR_SUCCESS ? ERROR_WRITE_FAULT : error);
}

FILE* OpenWithRetry(const WideString& path, const WideString& mode, int seconds) {
    if (path.empty()) return nullptr;
    const long long attempts = static_cast<long long>(seconds) * 1000 / kRetryPauseMilliseconds;
    return OpenAttempts(path, mode.c_str(), attempts > 0 ? static_cast<int>(attempts) : 1);
}

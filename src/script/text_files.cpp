#include "script/text_files.h"


#include "common/scoped_handle.h"
#include "common/windows_headers.h"
#include "text/canonical_path.h"
#include "script/command_line.h"
#include "script/file_lines.h"
#include "text/console_output.h"
#include "text/number_text.h"
#include "text/file_status.h"
#include "text/path_text.h"
#include "text/messages.h"
#include "text/system_error.h"

namespace {

constexpr int kWriterAttempts = 100;
constexpr DWORD kRetryPauseMilliseconds = 100;
constexpr DWORD kRewritePauseMilliseconds = 10;
constexpr int kLastRewrite = 10;

// Opens the file, trying up to the given number of times with the visible
// attempt counter. On failure the last error is the last attempt's.
FILE* OpenAttempts(const WideString& path, const wchar_t* mode, int attempts) {
    DWORD error = ERROR_SUCCESS;
    for (int attempt = 1; attempt <= attempts; ++attempt) {
        FILE* file = _wfopen(path.c_str(), mode);
        if (file != nullptr) return file;
        error = GetLastError();
        Sleep(kRetryPauseMilliseconds);
        PrintErrorText(IntegerToText(attempt, 10) + L"\r");
    }
    SetLastError(error);
    return nullptr;
}

void ReportCannotOpen(const WideString& path) {
    PrintErrorLine(Say(Message::CantOpenForWriting, {path, SystemReason(GetLastError())}));
}

void ReportCannotWrite(const WideString& path, DWORD error) {
    PrintErrorLine(Say(Message::CantWriteFile, {path, SystemReason(error)}));
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
    // Plain ASCII, as most paths are, is its own UTF-16; else one call of
    // the system (UTF-16 takes no more units than UTF-8 takes bytes).
    WideString text(bytes.size(), L'\0');
    size_t ascii = 0;
    while (ascii < bytes.size() && static_cast<unsigned char>(bytes[ascii]) < 0x80) {
        text[ascii] = static_cast<wchar_t>(bytes[ascii]);
        ++ascii;
    }
    if (ascii == bytes.size()) return text;
    const int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0],
                                           static_cast<int>(text.size()));
    if (length <= 0) return WideString();
    text.resize(static_cast<size_t>(length));
    return text;
}

ByteVector ToUtf8(const WideString& text) {
    ByteVector bytes;
    bytes.reserve(text.size());
    for (const wchar_t c : text) {
        if (c == L'\0') return bytes;  // cut at the first NUL, as every conversion here is
        if (c >= 0x80) return Convert(text, CP_UTF8, 0, nullptr);
        bytes.push_back(static_cast<uint8_t>(c));
    }
    return bytes;
}

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
    const DWORD error = written ? ERROR_SUCCESS : GetLastError();
    if (!(std::fclose(file) == 0 && written)) {
        ReportCannotWrite(path, error == ERROR_SUCCESS ? GetLastError() : error);
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
    const DWORD error = written ? ERROR_SUCCESS : GetLastError();
    if (!(std::fclose(file) == 0 && written)) {
        ReportCannotWrite(path, error == ERROR_SUCCESS ? GetLastError() : error);
        return false;
    }
    return true;
}

WideString FolderListFilePath(const WideString& folder) {
    return AppendSeparator(folder, L'\\') + ComputerName() + L".txt";
}

WideString ReplaceFolderListFile(const StringList& lines, const WideString& folder) {
    ByteVector bytes;
    for (const WideString& line : lines) {
        const ByteVector text = ToUtf8(line);
        bytes.insert(bytes.end(), text.begin(), text.end());
        bytes.push_back('\r');
        bytes.push_back('\n');
    }
    return ReplaceFileWith(FolderListFilePath(folder), bytes.data(), bytes.size());
}

WideString ReplaceFileWith(const WideString& path, const void* bytes, size_t size) {
    return ReplaceFileWriting(path, [&](const ChunkWriter& write) { write(bytes, size); });
}

WideString ReplaceFileWriting(const WideString& path, const std::function<void(const ChunkWriter& write)>& produce,
                              const std::function<WideString(const WideString& written)>& check) {
    const WideString temporary = LongPathForm(path + L".new");
    DWORD error = ERROR_SUCCESS;
    {
        const ScopedFileHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.Valid()) return SystemReason(GetLastError());
        std::string buffer;
        auto flush = [&] {
            DWORD written = 0;
            if (error == ERROR_SUCCESS && !buffer.empty() &&
                (!WriteFile(file.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &written, nullptr) ||
                 written != buffer.size())) {
                error = GetLastError() != ERROR_SUCCESS ? GetLastError() : ERROR_DISK_FULL;
            }
            buffer.clear();
        };
        produce([&](const void* bytes, size_t size) {
            buffer.append(static_cast<const char*>(bytes), size);
            if (buffer.size() >= (1u << 18)) flush();
        });
        flush();
        // A full disk may show only when the data is flushed.
        if (error == ERROR_SUCCESS && !FlushFileBuffers(file.Get())) error = GetLastError();
    }
    // What does not check out never takes the old file's place.
    const WideString checked = error == ERROR_SUCCESS && check ? check(path + L".new") : WideString();
    if (!checked.empty()) {
        DeleteFileW(temporary.c_str());
        return checked;
    }
    if (error == ERROR_SUCCESS && MoveFileExW(temporary.c_str(), LongPathForm(path).c_str(),
                                              MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return WideString();
    }
    if (error == ERROR_SUCCESS) error = GetLastError();
    DeleteFileW(temporary.c_str());
    return SystemReason(error == ERROR_SUCCESS ? ERROR_WRITE_FAULT : error);
}

bool ForEachFileLine(const WideString& path, const std::function<void(const std::string& line)>& each,
                     const std::function<void(const char* bytes, size_t size)>& read) {
    const ScopedFileHandle file(CreateFileW(LongPathForm(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.Valid()) return GetLastError() == ERROR_FILE_NOT_FOUND;
    LineCutter cutter(each);
    std::vector<char> buffer(1u << 16);
    for (;;) {
        DWORD got = 0;
        // A read that fails part-way (a bad sector) is not the file's end.
        if (!ReadFile(file.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) return false;
        if (got == 0) break;
        if (read) read(buffer.data(), got);
        cutter.Feed(buffer.data(), got);
    }
    cutter.Finish();
    return true;
}

bool ReadWholeFile(const WideString& path, std::string* bytes) {
    bytes->clear();
    const ScopedFileHandle file(CreateFileW(LongPathForm(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return GetLastError() == ERROR_FILE_NOT_FOUND;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0) bytes->append(buffer, read);
    return true;
}

FILE* OpenWithRetry(const WideString& path, const WideString& mode, int seconds) {
    if (path.empty()) return nullptr;
    const long long attempts = static_cast<long long>(seconds) * 1000 / kRetryPauseMilliseconds;
    return OpenAttempts(path, mode.c_str(), attempts > 0 ? static_cast<int>(attempts) : 1);
}

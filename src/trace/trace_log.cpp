#include "trace/trace_log.h"


#include "common/scoped_handle.h"
#include "common/windows_headers.h"
#include "config/directory_ops.h"
#include "config/program_identity.h"
#include "config/system_paths.h"
#include "config/work_folders.h"
#include "housekeeping/pending_file_ops.h"
#include "text/console_output.h"
#include "text/file_status.h"
#include "text/path_text.h"
#include "text/system_error.h"
#include "text/time_text.h"
#include "text/messages.h"

namespace {

constexpr uint32_t kTraceKeepDays = 10;
constexpr DWORD kUserNameBufferSize = 257;
const wchar_t kTimePattern[] = L"%Y/%m/%d %H:%M:%S";
const wchar_t kLineFold[] = L"\t\t";

bool firstEntry = true;

bool WriteUnits(HANDLE file, const WideString& text) {
    const DWORD bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    DWORD written = 0;
    return text.empty() || (WriteFile(file, text.data(), bytes, &written, nullptr) && written == bytes);
}

// Appends the entry to the trace file (a new one starts with the byte
// order mark and the header line), in one attempt; the system's reason
// when that failed, else empty.
WideString AppendToTrace(const WideString& path, const WideString& entry, const WideString& programPath) {
    const ScopedFileHandle file(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return SystemReason(GetLastError());
    LARGE_INTEGER size = {};
    bool written = GetFileSizeEx(file.Get(), &size) != 0;
    if (written && size.QuadPart == 0) {
        const WideString header = FormatNow(kTimePattern) + L"\t" +
                                  TraceHeaderFields(UserName(), TempFolder(), CurrentFolder(), programPath) +
                                  L"\r\n";
        written = WriteUnits(file.Get(), WideString(1, L'\xFEFF') + header);
    }
    written = written && WriteUnits(file.Get(), entry);
    return written ? WideString() : SystemReason(GetLastError());
}

}  // namespace

WideString ReplaceLineBreaks(const WideString& text, const WideString& replacement) {
    const WideString forCr = replacement.substr(0, 1);
    const WideString forLf = replacement.empty() ? WideString() : replacement.substr(1);
    WideString result;
    result.reserve(text.size());
    for (const wchar_t c : text) {
        if (c == L'\r') {
            result += forCr;
        } else if (c == L'\n') {
            result += forLf;
        } else {
            result += c;
        }
    }
    return result;
}

WideString UserName() {
    wchar_t buffer[kUserNameBufferSize + 1] = {};
    DWORD size = kUserNameBufferSize;
    WideString name;
    if (GetUserNameW(buffer, &size)) name = buffer;
    if (name.empty()) name = EnvironmentText(L"USER");
    if (name.empty()) name = EnvironmentText(L"USERNAME");
    return name;
}

WideString TraceHeaderFields(const WideString& user, const WideString& tempFolder,
                             const WideString& currentFolder, const WideString& programPath) {
    return ReplaceLineBreaks(
        user + L"\r\n" + tempFolder + L"\r\n" + currentFolder + L"\r\n" + programPath + L"\r\n",
        kLineFold);
}

bool WriteTrace(const WideString& message) {
    // A trace that cannot be written is said once; the run goes on quietly.
    static bool broken = false;
    if (broken) return false;
    const WideString programPath = ProgramPath();
    const WideString entry = FormatNow(kTimePattern) + L"\t" + FileNamePart(programPath) + L"\t" +
                             ReplaceLineBreaks(message, kLineFold) + L"\r\n";

    WideString folder = AppendSeparator(WorkFolder(L"_trace_"), L'\\');
    if (firstEntry) ExpireOldFiles(folder + L".txt", kTraceKeepDays);
    folder += L"WC";
    CreateDirectoryTree(folder);
    folder = AppendSeparator(folder, L'\\');
    if (firstEntry) ExpireOldFiles(folder + L".txt", kTraceKeepDays);
    const WideString path = folder + FormatNow(L"%m%d_%H") + L".txt";
    firstEntry = false;

    const WideString problem = AppendToTrace(path, entry, programPath);
    if (problem.empty()) return true;
    broken = true;
    PrintErrorLine(Say(Message::CantWriteTrace, {path, problem}));
    return false;
}

void ReportLine(const WideString& line) {
    PrintLine(line);
    WriteTrace(line);
}

#include "trace/trace_log.h"

#include <cstdio>
#include <iostream>

#include "common/windows_headers.h"
#include "config/directory_ops.h"
#include "config/program_identity.h"
#include "config/system_paths.h"
#include "config/work_folders.h"
#include "housekeeping/pending_file_ops.h"
#include "script/text_files.h"
#include "text/console_output.h"
#include "text/file_status.h"
#include "text/path_text.h"
#include "text/time_text.h"

namespace {

constexpr uint32_t kTraceKeepDays = 10;
constexpr int kOpenSeconds = 10;
constexpr DWORD kUserNameBufferSize = 257;
const wchar_t kTimePattern[] = L"%Y/%m/%d %H:%M:%S";
const wchar_t kLineFold[] = L"\t\t";

bool firstEntry = true;

void WriteUnits(FILE* file, const WideString& text) {
    if (!text.empty()) std::fwrite(text.data(), sizeof(wchar_t), text.size(), file);
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

    FILE* file = OpenWithRetry(path, L"ab", kOpenSeconds);
    if (file == nullptr) {
        std::wcerr << L"Can't open ab  " << path << std::endl;
        return false;
    }
    if (FileStatus(path).Size() == 0) {
        static const unsigned char kByteOrderMark[] = {0xFF, 0xFE};
        std::fwrite(kByteOrderMark, 1, sizeof(kByteOrderMark), file);
        WriteUnits(file, FormatNow(kTimePattern) + L"\t" +
                             TraceHeaderFields(UserName(), TempFolder(), CurrentFolder(),
                                               programPath) +
                             L"\r\n");
    }
    WriteUnits(file, entry);
    std::fclose(file);
    return true;
}

void ReportLine(const WideString& line) {
    PrintLine(line);
    WriteTrace(line);
}

#include "job/script_session.h"

#include "common/windows_headers.h"

#include <sddl.h>

#include "config/folder_owner.h"
#include "job/job_run.h"
#include "script/batch_script.h"
#include "script/cmd_text.h"
#include "text/path_text.h"
#include "script/text_files.h"
#include "text/number_text.h"

namespace {

constexpr DWORD kPipeBufferBytes = 4096;

std::unique_ptr<ScopedFileHandle> Owned(HANDLE handle) { return std::make_unique<ScopedFileHandle>(handle); }

// "D:P(A;;GA;;;<this user's SID>)": no one but this user may open the pipe,
// so no one else can ask in the script's place and make the program check
// a copy that has not run. Empty when the user's SID cannot be read.
WideString ThisUserOnlyDescriptor() {
    const WideString sid = ThisUserSidText();
    return sid.empty() ? WideString() : L"D:P(A;;GA;;;" + sid + L")";
}

}  // namespace

WideString SessionPipeName(unsigned long processId, unsigned long long ticks) {
    return L"\\\\.\\pipe\\brisk-" + IntegerToText(processId, 10) + L"-" + IntegerToText(ticks, 10);
}

ScriptSession::ScriptSession() {
    pipeName_ = SessionPipeName(GetCurrentProcessId(), GetTickCount64());
    SECURITY_ATTRIBUTES security = {sizeof(SECURITY_ATTRIBUTES), nullptr, FALSE};
    const WideString descriptor = ThisUserOnlyDescriptor();
    if (descriptor.empty() || !ConvertStringSecurityDescriptorToSecurityDescriptorW(
                                  descriptor.c_str(), SDDL_REVISION_1, &security.lpSecurityDescriptor, nullptr)) {
        pipeName_.clear();
        return;
    }
    // Made first by this process, local clients only, two instances at most:
    // no one else can stand in for it.
    for (Listener& listener : listeners_) {
        const DWORD first = &listener == &listeners_[0] ? FILE_FLAG_FIRST_PIPE_INSTANCE : 0;
        listener.pipe = Owned(CreateNamedPipeW(pipeName_.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | first,
                                               PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT |
                                                   PIPE_REJECT_REMOTE_CLIENTS,
                                               2, kPipeBufferBytes, kPipeBufferBytes, 0, &security));
        listener.event = Owned(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        if (!listener.pipe->Valid() || !listener.event->Valid() || !Listen(&listener)) {
            pipeName_.clear();
            break;
        }
    }
    LocalFree(security.lpSecurityDescriptor);
}

bool ScriptSession::Listen(Listener* listener) {
    listener->overlapped = {};
    listener->overlapped.hEvent = listener->event->Get();
    ResetEvent(listener->event->Get());
    if (ConnectNamedPipe(listener->pipe->Get(), &listener->overlapped)) return SetEvent(listener->event->Get());
    const DWORD error = GetLastError();
    if (error == ERROR_PIPE_CONNECTED) return SetEvent(listener->event->Get());
    return error == ERROR_IO_PENDING;
}

// Waits for the listener's pending operation, or the end of the script;
// false when the script ended first.
bool ScriptSession::Complete(Listener* listener) {
    const HANDLE waits[] = {listener->event->Get(), process_->Get()};
    if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) return false;
    DWORD bytes = 0;
    return GetOverlappedResult(listener->pipe->Get(), &listener->overlapped, &bytes, FALSE) ||
           GetLastError() == ERROR_BROKEN_PIPE || GetLastError() == ERROR_PIPE_CONNECTED;
}

ScriptSession::~ScriptSession() { Finish(); }

bool ScriptSession::Start(const WideString& folder, const WideString& fileName, const WideString& text) {
    if (pipeName_.empty()) return false;
    folder_ = folder;
    TakeCopyExitCode();  // none left from an earlier run
    const HANDLE file = CreateScriptFile(folder, fileName, text, &scriptPath_);
    if (file == INVALID_HANDLE_VALUE) return false;
    script_ = Owned(file);
    const HANDLE process = StartScript(scriptPath_);
    if (process == nullptr) {
        Finish();
        return false;
    }
    process_ = Owned(process);
    return true;
}

bool ScriptSession::AwaitScript() {
    if (process_ == nullptr || pipeName_.empty()) return false;
    const HANDLE waits[] = {listeners_[0].event->Get(), listeners_[1].event->Get(), process_->Get()};
    const DWORD which = WaitForMultipleObjects(3, waits, FALSE, INFINITE);
    if (which != WAIT_OBJECT_0 && which != WAIT_OBJECT_0 + 1) return false;
    active_ = &listeners_[which - WAIT_OBJECT_0];
    DWORD bytes = 0;
    if (!GetOverlappedResult(active_->pipe->Get(), &active_->overlapped, &bytes, FALSE) &&
        GetLastError() != ERROR_PIPE_CONNECTED) {
        return false;
    }
    ResetEvent(active_->event->Get());
    return true;
}

bool ScriptSession::Answer(const WideString& line) {
    if (process_ == nullptr || active_ == nullptr) return false;
    Listener& served = *active_;
    active_ = nullptr;
    const ByteVector bytes = ToCodePage(line + L"\r\n", ScriptCodePage());
    served.overlapped = {};
    served.overlapped.hEvent = served.event->Get();
    ResetEvent(served.event->Get());
    bool done = WriteFile(served.pipe->Get(), bytes.data(), static_cast<DWORD>(bytes.size()), nullptr,
                          &served.overlapped) ||
                (GetLastError() == ERROR_IO_PENDING && Complete(&served));
    // The script has taken its line when it closes its end: a read then ends.
    char unused = 0;
    served.overlapped = {};
    served.overlapped.hEvent = served.event->Get();
    ResetEvent(served.event->Get());
    if (done && !ReadFile(served.pipe->Get(), &unused, 1, nullptr, &served.overlapped) &&
        GetLastError() == ERROR_IO_PENDING) {
        done = Complete(&served);
    }
    if (!done) CancelIo(served.pipe->Get());
    DisconnectNamedPipe(served.pipe->Get());
    return Listen(&served) && done;
}

std::optional<int> ScriptSession::TakeCopyExitCode() {
    if (folder_.empty()) return std::nullopt;
    const WideString path = JoinPath(folder_, kCopyExitCodeFile);
    std::string text;
    const bool read = ReadWholeFile(path, &text);
    DeleteFileW(path.c_str());
    size_t digits = 0;
    int code = 0;
    while (digits < text.size() && digits < 9 && text[digits] >= '0' && text[digits] <= '9') {
        code = code * 10 + (text[digits++] - '0');
    }
    if (!read || digits == 0) return std::nullopt;
    return code;
}

void ScriptSession::Finish() {
    if (process_ != nullptr) WaitForSingleObject(process_->Get(), INFINITE);
    process_.reset();
    TakeCopyExitCode();
    if (script_ == nullptr) return;
    script_.reset();
    DeleteFileW(scriptPath_.c_str());
}

#include "shell/open_in_shell.h"

#include "common/system_calls.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include "config/network_drive.h"
#include "config/system_paths.h"
#include "housekeeping/file_lists.h"
#include "script/command_line.h"
#include "shell/console_window.h"
#include "shell/open_request.h"
#include "text/case_text.h"
#include "text/file_status.h"
#include "text/path_text.h"
#include "text/system_error.h"
#include "text/messages.h"

namespace {

// Owns one COM interface pointer.
template <typename Interface>
class ComPointer {
public:
    ComPointer() = default;
    ~ComPointer() {
        if (pointer_ != nullptr) pointer_->Release();
    }
    ComPointer(const ComPointer&) = delete;
    ComPointer& operator=(const ComPointer&) = delete;
    Interface** Out() { return &pointer_; }
    Interface* operator->() const { return pointer_; }

private:
    Interface* pointer_ = nullptr;
};

bool ExistsForShell(const WideString& path) { return PathExists(path, false); }

// One attempt with the shell's link object; the result buffer is filled only
// when every call succeeded.
bool TryResolveShortcut(HWND owner, const WideString& shortcut, WideString* result) {
    ComPointer<IShellLinkW> link;
    if (FAILED(CallCoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(link.Out())))) {
        return false;
    }
    ComPointer<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Out())))) {
        return false;
    }
    if (FAILED(file->Load(shortcut.c_str(), 0))) return false;
    if (FAILED(link->Resolve(owner, 0))) return false;
    wchar_t path[MAX_PATH] = {};
    if (FAILED(link->GetPath(path, MAX_PATH, nullptr, SLGP_SHORTPATH))) return false;
    wchar_t description[MAX_PATH] = {};
    if (FAILED(link->GetDescription(description, MAX_PATH))) return false;
    *result = WideString(path, wcsnlen(path, MAX_PATH));
    return true;
}

}  // namespace

WideString ResolveShortcutTarget(HWND owner, const WideString& shortcut) {
    if (!PathExists(shortcut, false)) return WideString();
    WideString result;
    bool resolved = TryResolveShortcut(owner, shortcut, &result);
    if (!resolved) {
        // The first failure is usually COM not yet initialised on this thread.
        CallCoInitialize();
        resolved = TryResolveShortcut(owner, shortcut, &result);
    }
    return resolved ? LongPathOf(result) : WideString();
}

WideString ResolveOpenTarget(const WideString& text) {
    WideString target = NormalizeSeparators(StripQuotes(text), L'\\');
    const HWND console = FindOwnConsoleWindow();
    if (ToLowerText(FileNameExtension(target)) == L"lnk") target = ResolveShortcutTarget(console, target);
    target = MapSearchFolderPath(target, ExistsForShell);
    target = NormalizeSeparators(NetworkDriveToUnc(target), L'\\');
    if (!FileStatus(target).IsRegularFile()) target = AppendSeparator(target, L'\\');
    return target;
}

bool OpenInShell(HWND owner, const WideString& target) {
    const WideString existing = ExistingTarget(ResolveOpenTarget(target), ExistsForShell);
    const FileStatus status(existing);
    const OpenRequest request =
        ChooseOpenRequest(existing, !status.Failed() && status.IsRegularFile(), WindowsFolder());
    const HINSTANCE result = CallShellExecute(owner, L"", request.file.c_str(),
                                           request.parameters.c_str(), nullptr, SW_SHOW);
    const DWORD error = GetLastError();
    const intptr_t code = reinterpret_cast<intptr_t>(result);
    if (code > 32) return true;
    const WideString text = OpenFailureText(code, error, SystemErrorText(error), request);
    CallMessageBox(owner, text.c_str(), Say(Message::ErrorCaption).c_str(), MB_OK | MB_ICONINFORMATION);
    return false;
}

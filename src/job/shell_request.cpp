#include "job/shell_request.h"

#include "common/system_calls.h"

#include <shellapi.h>

#include "config/directory_ops.h"
#include "config/special_folders.h"
#include "config/system_paths.h"
#include "housekeeping/file_lists.h"
#include "shell/open_request.h"
#include "text/case_text.h"
#include "text/path_text.h"
#include "trace/trace_log.h"
#include "text/messages.h"

namespace {

constexpr int kProgramFilesFolder = 0x26;
constexpr int kWindowsFolder = 0x24;
constexpr int kSystemFolder = 0x25;

}  // namespace

ProgramLookup SystemProgramLookup() {
    ProgramLookup lookup;
    lookup.exists = EntryExists;
    lookup.specialFolder = SpecialFolderPath;
    return lookup;
}

WideString ResolveShellFile(const WideString& p, const ProgramLookup& lookup) {
    if (lookup.exists(p)) return p;
    for (const WideString& candidate :
         {JoinPath(lookup.specialFolder(kProgramFilesFolder), p), L"C:\\Program Files\\" + p,
          L"C:\\Program Files (x86)\\" + p}) {
        if (lookup.exists(candidate)) return candidate;
    }
    if (ToLowerText(FileNameExtension(p)) != L"exe") return p;
    const WideString name = FileNamePart(p);
    for (const int folder : {kWindowsFolder, kSystemFolder}) {
        const WideString candidate = JoinPath(lookup.specialFolder(folder), name);
        if (lookup.exists(candidate)) return candidate;
    }
    return p;
}

WideString ShellErrorText(intptr_t result, const WideString& file, const WideString& parameters) {
    switch (result) {
        case 0: return Say(Message::ShellOutOfResources);
        case 2: return Say(Message::ShellFileNotFound);
        case 3: return Say(Message::ShellPathNotFound);
        case 5: return Say(Message::ShellAccessDenied);
        case 8: return Say(Message::ShellOutOfMemory);
        case 11: return Say(Message::ShellBadExe);
        case 26: return Say(Message::ShellSharingViolation);
        case 27: return Say(Message::ShellAssociationIncomplete);
        case 28: return Say(Message::ShellDdeTimeout);
        case 29: return Say(Message::ShellDdeFailed);
        case 30: return Say(Message::ShellDdeBusy);
        case 31: return Say(Message::ShellNoAssociation);
        case 32: return Say(Message::ShellDllNotFound);
        default: return Say(Message::ShellError, {file, parameters});
    }
}

WideString ShellFailureMessage(intptr_t result, const WideString& verb, const WideString& file,
                               const WideString& parameters) {
    return ShellErrorText(result, file, parameters) + L"\nOperation=" + QuoteWith(verb, L'"') +
           L"\nFile=" + QuoteWith(file, L'"') + L"\nParamaters=" + QuoteWith(parameters, L'"');
}

bool ShellRequest::SetShowCommand(int showCommand) {
    showCommand_ = showCommand;
    return true;
}

bool ShellRequest::SetVerb(const WideString& verb) {
    verb_ = verb;
    hasVerb_ = true;
    return true;
}

bool ShellRequest::SetFile(const WideString& file) {
    file_ = ResolveShellFile(file, SystemProgramLookup());
    hasFile_ = true;
    return true;
}

bool ShellRequest::SetParameters(const WideString& parameters) {
    parameters_ = parameters;
    hasParameters_ = true;
    return true;
}

bool ShellRequest::Execute() {
    // Without a file, the parameters take its place.
    const wchar_t* verb = hasVerb_ ? verb_.c_str() : nullptr;
    const wchar_t* file = hasFile_ ? file_.c_str() : (hasParameters_ ? parameters_.c_str() : nullptr);
    const wchar_t* parameters = hasFile_ && hasParameters_ ? parameters_.c_str() : nullptr;
    const intptr_t result = reinterpret_cast<intptr_t>(
        CallShellExecute(owner_, verb, file, parameters, nullptr, showCommand_));
    if (result > 32) return true;
    if (hasVerb_ && verb_ == L"properties") {
        SHELLEXECUTEINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = SEE_MASK_INVOKEIDLIST;
        info.hwnd = owner_;
        info.lpVerb = verb;
        info.lpFile = file;
        info.lpParameters = parameters;
        info.nShow = SW_SHOWNORMAL;
        return CallShellExecuteEx(&info) == TRUE;
    }
    WriteTrace(ShellFailureMessage(result, verb_, file_, parameters_));
    return false;
}

bool ShellRequest::ExploreWith(const WideString& parameters) {
    // By its full path: a bare name is looked for in the current folder first.
    SetFile(ExplorerIn(WindowsFolder()));
    SetParameters(parameters);
    return Execute();
}

#include "job/shell_request.h"

#include "common/system_calls.h"

#include <shellapi.h>

#include "config/directory_ops.h"
#include "config/special_folders.h"
#include "housekeeping/file_lists.h"
#include "text/case_text.h"
#include "text/path_text.h"
#include "trace/trace_log.h"

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
        case 0: return L"The operating system is out of memory or resources.";
        case 2: return L"The specified file was not found.";
        case 3: return L"The specified path was not found.";
        case 5: return L"The operating system denied access to the specified file.";
        case 8: return L"There was not enough memory to complete the operation.";
        case 11: return L"The .EXE file is invalid (non-Win32 .EXE or error in .EXE image).";
        case 26: return L"A sharing violation occurred.";
        case 27: return L"The filename association is incomplete or invalid.";
        case 28: return L"The DDE transaction could not be completed because the request timed out.";
        case 29: return L"The DDE transaction failed.";
        case 30:
            return L"The DDE transaction could not be completed because other DDE transactions "
                   L"were being processed.";
        case 31: return L"There is no application associated with the given file name extension.";
        case 32: return L"The specified dynamic-link library was not found.";
        default: return L"Error\n" + file + L"\n" + parameters;
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
    SetFile(L"explorer.exe");
    SetParameters(parameters);
    return Execute();
}

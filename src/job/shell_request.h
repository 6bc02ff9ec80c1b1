// One request to the shell (ShellExecuteW): a verb, a file or program, its
// parameters. A refused request is recorded in the trace log.
#pragma once

#include <functional>

#include "common/windows_headers.h"
#include "text/wide_string.h"

// Where a program name is looked for when it names no existing file.
struct ProgramLookup {
    std::function<bool(const WideString&)> exists;
    std::function<WideString(int csidl)> specialFolder;
};

// The system's answers: existence by the file status (network paths by the
// access test), folders from the shell.
ProgramLookup SystemProgramLookup();

// The file to hand to the shell for p: p itself when it exists; else p
// below the program files folder (the shell's, then "C:\Program Files\",
// then "C:\Program Files (x86)\"); else, for a name ending in .exe, that
// name in the Windows folder, then the system folder; else p unchanged.
WideString ResolveShellFile(const WideString& p, const ProgramLookup& lookup);

// The text for a ShellExecuteW result of 32 or less.
//   31 => "There is no application associated with the given file name extension."
//   (unlisted) => "Error\n" + file + "\n" + parameters
WideString ShellErrorText(intptr_t result, const WideString& file, const WideString& parameters);

// The trace message of a refused request: the error text, then
// "\nOperation=", "\nFile=" and "\nParamaters=" with the quoted texts.
WideString ShellFailureMessage(intptr_t result, const WideString& verb, const WideString& file,
                               const WideString& parameters);

class ShellRequest {
public:
    ShellRequest() = default;
    virtual ~ShellRequest() = default;

    virtual bool SetShowCommand(int showCommand);
    virtual bool SetVerb(const WideString& verb);
    // Stores the file, resolving a bare program name (see ResolveShellFile).
    virtual bool SetFile(const WideString& file);
    virtual bool SetParameters(const WideString& parameters);
    // Asks the shell; true when it accepted. A refused "properties" request
    // is retried through ShellExecuteExW; any other refusal is traced.
    virtual bool Execute();
    // Explorer with the argument as its parameters.
    virtual bool ExploreWith(const WideString& parameters);

    const WideString& File() const { return file_; }

private:
    HWND owner_ = nullptr;
    int showCommand_ = SW_SHOWNORMAL;
    bool hasVerb_ = false;
    bool hasFile_ = false;
    bool hasParameters_ = false;
    WideString verb_;
    WideString file_;
    WideString parameters_;
};

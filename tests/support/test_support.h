// Helpers for tests: scratch folders, captured error output, files beside
// the test program.
#pragma once

#include <sstream>
#include <streambuf>

#include "text/console_output.h"
#include "text/wide_string.h"

// A new empty folder below the temporary folder, deleted with its content
// when the object goes away.
class ScopedTempFolder {
public:
    ScopedTempFolder();
    ~ScopedTempFolder();
    ScopedTempFolder(const ScopedTempFolder&) = delete;
    ScopedTempFolder& operator=(const ScopedTempFolder&) = delete;

    // The folder's path, without a trailing separator.
    const WideString& Path() const { return path_; }
    // Path() + "\" + relative.
    WideString Join(const WideString& relative) const;

private:
    WideString path_;
};

// Deletes the folder with everything in it, read-only files included.
void DeleteTree(const WideString& folder);

// Collects what the program says on its standard error while the object
// lives.
class ErrorStreamCapture {
public:
    ErrorStreamCapture();
    ~ErrorStreamCapture();
    ErrorStreamCapture(const ErrorStreamCapture&) = delete;
    ErrorStreamCapture& operator=(const ErrorStreamCapture&) = delete;

    WideString Text() const { return captured_.Text(); }
    // The captured text split into lines (line ends removed).
    StringList Lines() const;

private:
    ConsoleCapture captured_;
};

// The full path of a file in the test program's own folder.
WideString FileBesideTestProgram(const WideString& name);

// Writes the bytes to a new file (replacing an old one); false on failure.
bool WriteFileBytes(const WideString& path, const std::string& bytes);

// The whole content of a file, or empty.
std::string ReadFileBytes(const WideString& path);

// One argument quoted so that the runtime's argument parser gives it back
// unchanged.
WideString QuoteArgument(const WideString& argument);

// A registry key below HKEY_CURRENT_USER, created for a test and deleted,
// with everything below it, when the object goes away.
class ScratchRegistryKey {
public:
    explicit ScratchRegistryKey(const WideString& subkey);
    ~ScratchRegistryKey();
    ScratchRegistryKey(const ScratchRegistryKey&) = delete;
    ScratchRegistryKey& operator=(const ScratchRegistryKey&) = delete;

    // type: REG_SZ, REG_EXPAND_SZ or REG_MULTI_SZ.
    bool SetText(const WideString& name, const WideString& text, unsigned long type);
    bool SetDword(const WideString& name, unsigned long value);
    // Stores the bytes as they are, with the type (an odd count included).
    bool SetBytes(const WideString& name, const std::string& bytes, unsigned long type);
    void Remove();

private:
    WideString subkey_;
    void* key_ = nullptr;
};

// Deletes a key below HKEY_CURRENT_USER with everything below it.
void RemoveRegistryTree(const WideString& subkey);

// What a program run printed and returned.
struct ProgramRun {
    unsigned long exitCode = 0xFFFFFFFF;
    std::string output;
    std::string errors;
};

// Starts the program with the arguments (quoted as needed), its output and
// errors going to files, waits up to a minute, and returns what it printed.
ProgramRun RunCaptured(const WideString& program, const StringList& arguments);

// Sets an environment variable of this process (inherited by the programs
// it starts) while the object lives, then puts the old value back.
class ScopedEnvironmentVariable {
public:
    ScopedEnvironmentVariable(const wchar_t* name, const WideString& value);
    ~ScopedEnvironmentVariable();
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

private:
    WideString name_;
    WideString old_;
    bool hadOld_ = false;
};

// Sets the file's last-write time the given number of days back from now.
bool SetLastWriteDaysAgo(const WideString& path, double days);

// The path with every backslash written as a slash.
WideString WithSlashes(WideString path);

bool StartsWith(const WideString& text, const WideString& start);
bool EndsWith(const WideString& text, const WideString& end);

// Whether the tests run under Wine rather than on Windows (Wine's ntdll
// exports wine_get_version).
bool RunningUnderWine();

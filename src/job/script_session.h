// The run's one copy script, driven folder by folder. The script waits at
// each step it cannot take alone, reading a line from a named pipe that only
// this process serves:
//
//   timeout /t 10                         the pause before the folder
//   @set /p brisk_go=<"\\.\pipe\X"        "copy" or "skip", once the folder is planned
//   @set /p brisk_xd=<"\\.\pipe\X"        folders to leave out (/xd ...), or nothing
//   robocopy "..." "..." ... %brisk_xd%
//   @set /p brisk_go=<"\\.\pipe\X"        "next" once the copy is checked, or "again"
//   @set /p brisk_file=<"\\.\pipe\X"      and the file to copy once more, then asks again
//
// so one interpreter runs the whole script, as a script of the whole run
// does, while each folder is planned right after its pause and checked
// right after its copy. A script that hears nothing (this process gone)
// copies nothing more and ends.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "common/scoped_handle.h"
#include "text/wide_string.h"

// "\\.\pipe\brisk-<process id>-<ticks>"
WideString SessionPipeName(unsigned long processId, unsigned long long ticks);

class ScriptSession {
public:
    ScriptSession();
    ~ScriptSession();
    ScriptSession(const ScriptSession&) = delete;
    ScriptSession& operator=(const ScriptSession&) = delete;

    // The pipe the script reads its answers from; empty when it could not be made.
    const WideString& PipeName() const { return pipeName_; }

    // Writes the script as a new file in the folder (see CreateScriptFile) and
    // starts the interpreter on it in this console, without waiting. False
    // (said) when it could not be written or started.
    bool Start(const WideString& folder, const WideString& fileName, const WideString& text);

    // Waits until the script asks for its next answer; false when the
    // interpreter ended first.
    bool AwaitScript();

    // Gives the script the line it waits for and waits until it has read it;
    // false when it is gone.
    bool Answer(const WideString& line);

    // The exit code the script wrote for its last copy (see
    // kCopyExitCodeFile), read and removed; none when it wrote none.
    std::optional<int> TakeCopyExitCode();

    // Waits for the interpreter to end and removes the script file.
    void Finish();

private:
    // Two instances of the pipe, each listening while the other serves: the
    // script asks again the moment it has its answer, before the served
    // instance is ready for it.
    struct Listener {
        std::unique_ptr<ScopedFileHandle> pipe;
        std::unique_ptr<ScopedFileHandle> event;
        OVERLAPPED overlapped = {};
    };
    bool Listen(Listener* listener);
    bool Complete(Listener* listener);

    WideString pipeName_;
    Listener listeners_[2];
    Listener* active_ = nullptr;
    std::unique_ptr<ScopedFileHandle> process_;
    std::unique_ptr<ScopedFileHandle> script_;
    WideString scriptPath_;
    WideString folder_;
};

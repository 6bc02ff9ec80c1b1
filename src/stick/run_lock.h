// One backup run per computer at a time on one drive: the run holds
// "_Backup_\<COMPUTER>.lock" open without sharing for as long as it lasts. A
// lock file left by a run that ended or died blocks nothing: the file is a
// lock only while a process holds it open.
#pragma once

#include <memory>

#include "common/scoped_handle.h"
#include "text/wide_string.h"

// How taking the lock went.
enum class RunLockState {
    Held,     // this run holds it
    Busy,     // another run holds it
    Failed,   // the file could not be opened for another reason
};

// What an open failure means: a sharing violation is another run.
//   ERROR_SHARING_VIOLATION => Busy   ERROR_ACCESS_DENIED => Failed
RunLockState LockStateOfError(unsigned long error);

// The lock file of a computer folder: "E:\_Backup_\PC01" => "E:\_Backup_\PC01.lock"
WideString RunLockFileOf(const WideString& computerFolder);

// Opens the lock file; the handle is kept in held while the run lasts. On
// failure, problem gets the system's reason.
RunLockState TakeRunLock(const WideString& lockFile, std::unique_ptr<ScopedFileHandle>* held,
                         WideString* problem);

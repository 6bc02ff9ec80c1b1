#include "stick/run_lock.h"

#include "text/canonical_path.h"
#include "text/system_error.h"

RunLockState LockStateOfError(unsigned long error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ? RunLockState::Busy
                                                                              : RunLockState::Failed;
}

WideString RunLockFileOf(const WideString& computerFolder) { return computerFolder + L".lock"; }

RunLockState TakeRunLock(const WideString& lockFile, std::unique_ptr<ScopedFileHandle>* held,
                         WideString* problem) {
    auto handle = std::make_unique<ScopedFileHandle>(CreateFileW(LongPathForm(lockFile).c_str(),
                                                                 GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle->Valid()) {
        const DWORD error = GetLastError();
        *problem = SystemReason(error);
        return LockStateOfError(error);
    }
    *held = std::move(handle);
    return RunLockState::Held;
}

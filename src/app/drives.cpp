#include "app/drives.h"


#include "common/windows_headers.h"
#include "config/directory_ops.h"
#include "config/drive_types.h"
#include "config/work_folders.h"
#include "shell/open_in_shell.h"
#include "text/console_output.h"
#include "text/path_text.h"
#include "text/messages.h"
#include "text/system_error.h"

namespace {

constexpr unsigned kRemovable = DRIVE_REMOVABLE;
constexpr unsigned kFixed = DRIVE_FIXED;

int FirstDriveIn(const DriveTable& drives, int first, unsigned type) {
    for (int i = first; i < static_cast<int>(drives.size()); ++i) {
        if (drives[i].type == type && drives[i].hasMedium) return i;
    }
    return -1;
}

WideString DriveRootText(int index) {
    return WideString(1, static_cast<wchar_t>(L'A' + index)) + L":/";
}

}  // namespace

int FirstRemovableDriveIn(const DriveTable& drives) { return FirstDriveIn(drives, 0, kRemovable); }

int FirstFixedDriveFromDIn(const DriveTable& drives) { return FirstDriveIn(drives, 3, kFixed); }

DriveTable SystemDrives() {
    static DriveTable drives = [] {
        DriveTable table;
        for (int i = 0; i < 26; ++i) {
            table[i].type = DriveTypeOfLetter(static_cast<wchar_t>(L'A' + i));
            const bool mayHoldMedium = table[i].type == kRemovable || table[i].type == kFixed;
            if (mayHoldMedium) table[i].hasMedium = DriveHasMedium(DriveRootText(i));
        }
        return table;
    }();
    return drives;
}

int FirstRemovableDrive() { return FirstRemovableDriveIn(SystemDrives()); }

int FirstFixedDriveFromD() { return FirstFixedDriveFromDIn(SystemDrives()); }

WideString PortableBaseFolder(const WideString& programPath) {
    const WideString drive = DriveOrServerRoot(programPath);
    if (DriveTypeOfPath(drive) == kRemovable) return AppendSeparator(drive, L'\\');
    const int removable = FirstRemovableDrive();
    if (removable < 0) return AppendSeparator(WorkFolder(L""), L'\\');
    return DriveRootText(removable);
}

namespace {

WideString CopyFailureLine(const WideString& programPath, const WideString& target, DWORD error) {
    return Say(Message::CantCopyProgram, {programPath, target, SystemReason(error)});
}

}  // namespace

bool RelocateToRemovable(const WideString& programPath, bool* copyFailed) {
    *copyFailed = false;
    if (DriveTypeOfPath(DriveOrServerRoot(programPath)) == kRemovable) return true;
    const WideString base = DriveOrServerRoot(PortableBaseFolder(programPath));
    if (DriveTypeOfPath(base) != kRemovable) {
        PrintLine(Say(Message::DemoMode));
        PrintLine(WideString());
        return true;
    }
    const WideString target = AppendSeparator(base, L'\\') + FileNamePart(programPath);
    if (!CopyFileGuarded(programPath, target, false)) {
        PrintErrorLine(CopyFailureLine(programPath, target, GetLastError()));
        *copyFailed = true;
    }
    OpenInShell(nullptr, base);
    return false;
}

bool CopyToFixedDrive(const WideString& programPath, int driveIndex) {
    const WideString drive = DriveRootText(driveIndex);
    const WideString target = AppendSeparator(drive, L'\\') + FileNamePart(programPath);
    const bool copied = CopyFileGuarded(programPath, target, false);
    if (!copied) PrintErrorLine(CopyFailureLine(programPath, target, GetLastError()));
    OpenInShell(nullptr, drive);
    return copied;
}

#include "app/backup_root.h"

#include "common/windows_headers.h"
#include "config/work_folders.h"
#include "text/case_text.h"
#include "text/console_output.h"
#include "text/path_text.h"
#include "text/messages.h"

namespace {

const wchar_t kBackupFolderName[] = L"_Backup_";
constexpr DWORD kDemoPauseMilliseconds = 3000;

}  // namespace

WideString VolumeRootOf(const WideString& path) {
    if (path.size() <= 3) return path;
    size_t end = kNoPosition;
    const size_t first = path.find(L'\\', 2);
    if (first != kNoPosition) end = path.find(L'\\', first + 1);
    if (path[1] == L':') end = 2;
    if (end == kNoPosition) return path;
    return path.substr(0, end + 1);
}

WideString BackupRootFor(const StringList& arguments) {
    WideString root = L"Z:/";
    if (!arguments.empty()) root = arguments[0];
    if (arguments.size() > 1) root = arguments[1];
    root = VolumeRootOf(root);
    if (FindNoCase(root, kBackupFolderName, 0) == kNoPosition) {
        root = AppendSeparator(root, L'\\') + kBackupFolderName;
    }
    return root;
}

bool IsSystemDriveRoot(const WideString& root) { return FindNoCase(root, L"C:\\", 0) == 0; }

WideString SelectBackupRoot(const StringList& arguments) {
    WideString root = BackupRootFor(arguments);
    if (!IsSystemDriveRoot(root)) return root;
    root = AppendSeparator(WorkFolder(L""), L'\\') + kBackupFolderName;
    PrintLine(Say(Message::DemoMode));
    PrintLine(WideString());
    Sleep(kDemoPauseMilliseconds);
    return root;
}

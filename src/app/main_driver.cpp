#include "app/main_driver.h"

#include <cwctype>

#include "app/backup_root.h"
#include "app/closing_wait.h"
#include "app/drives.h"
#include "config/folder_list.h"
#include "config/program_identity.h"
#include "config/system_paths.h"
#include "housekeeping/folder_stamps.h"
#include "housekeeping/free_space_marker.h"
#include "housekeeping/run_history.h"
#include "housekeeping/usage_bitmap.h"
#include "backup/backup_run.h"
#include "restore/restore_run.h"
#include "shell/open_in_shell.h"
#include "stick/drive_protection.h"
#include "stick/protection_reading.h"
#include "stick/stick_keeping.h"
#include "text/argument_list.h"
#include "text/canonical_path.h"
#include "text/case_text.h"
#include "text/console_output.h"
#include "text/path_text.h"
#include "trace/trace_log.h"
#include "text/messages.h"

namespace {

constexpr unsigned kRemovableDriveType = 2;
constexpr int kExitComplete = 0;
constexpr int kExitNothingMade = 2;

bool IsAbsolutePath(const WideString& path) {
    const bool drive = path.size() >= 3 && path[1] == L':' && IsSeparator(path[2]);
    const bool network = path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
    return drive || network;
}

}  // namespace

MainDecision DecideMainRun(const StringList& arguments, const std::function<int()>& firstRemovable,
                           const std::function<int()>& firstFixedFromD) {
    MainDecision decision;
    // An empty argument (a shortcut's unset variable) counts as none.
    if (arguments.size() >= 2 && !arguments[1].empty()) {
        decision.hasEchoLine = true;
        decision.echoLine = arguments[1];
        return decision;
    }
    const WideString programPath = arguments.empty() ? WideString() : arguments[0];
    if (FindNoCase(programPath, L"C:\\", 0) != 0) {
        decision.hasEchoLine = true;
        decision.echoLine = programPath;
        return decision;
    }
    if (firstRemovable() >= 0) {
        decision.kind = RunKind::RelocateToRemovable;
        return decision;
    }
    decision.fixedDrive = firstFixedFromD();
    if (decision.fixedDrive >= 3) decision.kind = RunKind::CopyToFixedDrive;
    return decision;
}

bool RunsHousekeeping(const WideString& backupRoot, unsigned rootDriveType) {
    return rootDriveType == kRemovableDriveType || IsSystemDriveRoot(backupRoot);
}

StringList WithFullProgramPath(StringList arguments, const WideString& modulePath) {
    if (arguments.empty()) return {modulePath};
    if (!IsAbsolutePath(arguments[0]) && !modulePath.empty()) arguments[0] = modulePath;
    return arguments;
}

StringList WithCanonicalFirstArgument(StringList arguments, const WideString& currentFolder) {
    if (arguments.size() < 2) return arguments;
    if (arguments[1].empty()) {
        arguments.resize(1);
        return arguments;
    }
    const CanonicalPath canonical = CanonicalPathOf(arguments[1], currentFolder);
    if (!canonical.problem.empty()) {
        // No canonical form: a relative one is still taken below the current folder.
        if (!IsAbsolutePath(arguments[1])) arguments[1] = JoinPath(currentFolder, arguments[1]);
        return arguments;
    }
    arguments[1] = canonical.path;
    if (arguments[1].size() >= 2 && arguments[1][1] == L':') arguments[1][0] = towupper(arguments[1][0]);
    return arguments;
}

int RunMain() {
    const StringList arguments = WithFullProgramPath(ArgumentListCopy(), ModuleFilePath());
    // A switch is a task of its own (a restore, a check), never a folder to back up.
    const StickArguments stickTask = ReadStickArguments(StringList(arguments.begin() + 1, arguments.end()));
    if (stickTask.task != StickTask::None || !stickTask.unknown.empty()) {
        const int status = RunStickTask(stickTask, ModuleFilePath());
        WaitBeforeClosing(ClosingWaitFor(ConsoleProcessCount(), status));
        return status;
    }
    const MainDecision decision = DecideMainRun(arguments, FirstRemovableDrive, FirstFixedDriveFromD);
    if (decision.kind == RunKind::RelocateToRemovable) {
        bool copyFailed = false;
        RelocateToRemovable(arguments[0], &copyFailed);
        return copyFailed ? kExitNothingMade : kExitComplete;
    }
    if (decision.kind == RunKind::CopyToFixedDrive) {
        return CopyToFixedDrive(arguments[0], decision.fixedDrive) ? kExitComplete : kExitNothingMade;
    }
    if (decision.hasEchoLine) PrintLine(decision.echoLine);

    const WideString backupRoot =
        SelectBackupRoot(WithCanonicalFirstArgument(arguments, CurrentFolder()));
    StringList notBackedUp;
    const StringList folders = CollectBackupFolders(&notBackedUp);
    for (const WideString& line : notBackedUp) PrintLine(line);
    BackupPlan plan;
    // Held until the program ends, housekeeping included.
    std::unique_ptr<ScopedFileHandle> runLock;
    BackupSummary summary;
    const BackupOutcome outcome =
        SetUpAndRunBackup(folders, backupRoot, notBackedUp.size(), &plan, &runLock, &summary);
    const bool made = outcome != BackupOutcome::NotMade;
    const unsigned driveType = made ? DriveTypeOfPath(VolumeRootOf(backupRoot)) : 0;
    if (made) {
        WideString shown = backupRoot;
        if (RunsHousekeeping(backupRoot, driveType)) {
            const WideString baseFolder = AppendSeparator(ParentPath(backupRoot), L'\\');
            StampBackupFolders(plan);
            WriteFreeSpaceMarker(baseFolder);
            WriteUsageBitmap(baseFolder);
            shown = baseFolder;
        }
        OpenInShell(nullptr, shown);
    }
    if (summary.heldTheDrive) {
        const WideString history = HistoryFileOf(plan.computerFolder);
        const WideString problem = AppendToHistory(history, summary.record);
        if (!problem.empty()) ReportLine(Say(Message::CantWriteHistory, {history, problem}));
    }
    // What the run learnt about the drive itself comes just before the verdict.
    const WideString keeping = StickFailureLine(summary.stick, plan.drive);
    if (!keeping.empty()) ReportLine(keeping);
    if (AsksForProtection(made, driveType)) {
        const WideString protection = ProtectionLine(ReadBitLockerProtection(VolumeRootOf(backupRoot)), plan.drive);
        if (!protection.empty()) ReportLine(protection);
    }
    // The verdict is the last thing the run says.
    if (!summary.verdict.empty()) ReportLine(summary.verdict);
    const int status = static_cast<int>(outcome);
    WaitBeforeClosing(ClosingWaitFor(ConsoleProcessCount(), status));
    return status;
}

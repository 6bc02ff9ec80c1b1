#include "job/backup_run.h"

#include <shlobj.h>

#include <set>
#include <vector>

#include "app/console_output.h"
#include "common/scoped_handle.h"
#include "config/directory_ops.h"
#include "config/folder_reasons.h"
#include "job/backup_check.h"
#include "job/backup_job.h"
#include "job/backup_setup.h"
#include "script/batch_script.h"
#include "script/command_line.h"
#include "shell/open_in_shell.h"
#include "text/number_text.h"
#include "text/path_text.h"
#include "trace/trace_log.h"

namespace {

// A line for the console and the trace log.
void Report(const WideString& line) {
    PrintLine(line);
    WriteTrace(line);
}

WideString Trimmed(WideString text) {
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
        text.pop_back();
    }
    return text;
}

// Why the folder (and a file in it) cannot be written, or empty.
WideString WriteProblem(const WideString& folder) {
    const int created = SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    if (created != ERROR_SUCCESS && created != ERROR_ALREADY_EXISTS) {
        return Trimmed(SystemErrorText(static_cast<DWORD>(created)));
    }
    if (!DirectoryExists(folder)) return Trimmed(SystemErrorText(ERROR_DIRECTORY));
    const WideString probe =
        JoinPath(folder, L"brisk-probe-" + IntegerToText(GetCurrentProcessId(), 10) + L".tmp");
    const ScopedFileHandle file(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                            FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
                                            nullptr));
    if (!file.Valid()) return Trimmed(SystemErrorText(GetLastError()));
    DWORD written = 0;
    if (!WriteFile(file.Get(), "x", 1, &written, nullptr) || written != 1) {
        return Trimmed(SystemErrorText(GetLastError()));
    }
    return WideString();
}

uint64_t FreeBytesForUser(const WideString& folder) {
    ULARGE_INTEGER available = {};
    if (!GetDiskFreeSpaceExW(AppendSeparator(folder, L'\\').c_str(), &available, nullptr, nullptr)) {
        return UINT64_MAX;  // unknown: the copy tool finds out
    }
    return available.QuadPart;
}

struct FolderTrees {
    FolderScriptReport::Accepted folder;
    TreeListing source;
    TreeListing backup;
};

std::vector<FolderTrees> ListTrees(const FolderScriptReport& report, const CopyPolicy& policy) {
    std::vector<FolderTrees> trees;
    for (const auto& accepted : report.accepted) {
        trees.push_back({accepted, ListTree(accepted.folder, policy), ListTree(accepted.destination, policy)});
    }
    return trees;
}

}  // namespace

WideString VerdictLine(size_t folders, uint64_t files, size_t incompleteFolders,
                       uint64_t missingFiles, size_t notBackedUp) {
    const auto count = [](uint64_t n, const wchar_t* one, const wchar_t* many) {
        return IntegerToText(n, 10) + L" " + (n == 1 ? one : many);
    };
    if (incompleteFolders == 0 && notBackedUp == 0) {
        return L"Backup complete: " + count(folders, L"folder", L"folders") + L", " +
               count(files, L"file", L"files") + L".";
    }
    StringList parts;
    if (incompleteFolders != 0) {
        parts.push_back(IntegerToText(incompleteFolders, 10) + L" of " +
                        count(folders, L"folder", L"folders") + L" incomplete (" +
                        count(missingFiles, L"file", L"files") + L" missing or older)");
    }
    if (notBackedUp != 0) parts.push_back(count(notBackedUp, L"folder", L"folders") + L" not backed up");
    WideString line = L"Backup INCOMPLETE: ";
    for (size_t i = 0; i < parts.size(); ++i) line += (i == 0 ? L"" : L", ") + parts[i];
    return line + L".";
}

WideString ShortfallLine(uint64_t missingBytes, const WideString& drive) {
    return L"The backup needs " + SizeText(missingBytes) + L" more than " + drive +
           L" has free; nothing was copied";
}

BackupOutcome SetUpAndRunBackup(const StringList& folders, const WideString& backupRoot,
                                size_t notBackedUp) {
    HostFoldersJob job;
    const WideString backupFolder = BackupDestinationFor(backupRoot);
    ApplyBackupPolicy(job, backupFolder);
    const CopyPolicy policy = PolicyOf(job);

    const WideString problem = WriteProblem(JoinPath(backupFolder, ComputerName()));
    if (!problem.empty()) {
        Report(L"Can't write the backup to " + backupRoot + L": " + problem);
        return BackupOutcome::NotMade;
    }

    FolderScriptReport report;
    FolderScriptChoices choices;
    choices.isDirectory = DirectoryExists;
    choices.report = &report;
    job.BuildFolderListScript(folders, choices);
    for (const auto& refused : report.refused) Report(NotBackedUpLine(refused.folder, refused.reason));
    notBackedUp += report.refused.size();

    // A folder that became empty keeps its backup: mirroring it would
    // delete the only copy of its files.
    std::vector<FolderTrees> trees = ListTrees(report, policy);
    std::set<WideString> kept;
    uint64_t written = 0;
    uint64_t freed = 0;
    for (const FolderTrees& tree : trees) {
        if (WouldEmptyBackup(policy, tree.source, tree.backup)) {
            kept.insert(tree.folder.folder);
            Report(L"Kept the backup of " + tree.folder.folder +
                   L": the folder is empty, so nothing was deleted from its backup.");
            continue;
        }
        const CopyPlan plan = PlanMirror(policy, tree.source, tree.backup);
        written += plan.bytesWritten;
        freed += plan.bytesFreed;
    }
    const uint64_t available = FreeBytesForUser(backupFolder);
    if (written > freed && written - freed > available) {
        Report(ShortfallLine(written - freed - available, ShareRootOf(backupFolder)));
        return BackupOutcome::NotMade;
    }

    if (!kept.empty()) {
        choices.report = nullptr;
        choices.keepBackup = [&kept](const WideString& folder) { return kept.count(folder) != 0; };
        job.BuildFolderListScript(folders, choices);
    }
    if (!job.Run(SW_SHOWMAXIMIZED, true)) return BackupOutcome::NotMade;

    size_t incomplete = 0;
    uint64_t files = 0;
    uint64_t missing = 0;
    PrintLine(WideString());
    for (const FolderTrees& before : trees) {
        const FolderVerification verification = VerifyMirror(
            policy, ListTree(before.folder.folder, policy), ListTree(before.folder.destination, policy));
        Report(VerificationLine(before.folder.folder, verification));
        for (const WideString& big : verification.overSizeCap) {
            Report(L"    " + JoinPath(before.folder.folder, big) + L"  (not copied: larger than 4 GB)");
        }
        files += verification.files;
        missing += verification.missingOrOlder;
        if (verification.missingOrOlder != 0) ++incomplete;
    }
    Report(VerdictLine(trees.size(), files, incomplete, missing, notBackedUp));
    return incomplete == 0 && notBackedUp == 0 ? BackupOutcome::Complete : BackupOutcome::Incomplete;
}

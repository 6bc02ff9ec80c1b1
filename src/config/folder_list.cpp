#include "config/folder_list.h"


#include "config/directory_ops.h"
#include "config/folder_reasons.h"
#include "config/name_text.h"
#include "config/network_drive.h"
#include "config/registry_settings.h"
#include "config/special_folders.h"
#include "config/system_paths.h"
#include "text/canonical_path.h"
#include "text/console_output.h"
#include "text/messages.h"

StringList BuildFolderList(StringList candidates, const WideString& currentFolder,
                           const std::function<bool(const WideString&)>& isDirectory,
                           const std::function<WideString(const WideString&)>& networkForm) {
    for (WideString& candidate : candidates) {
        if (candidate.empty()) continue;
        // Never its look-alike in its place (said by NotBackedUpLines).
        if (HasNameEndingInBlankOrDot(candidate)) {
            candidate.clear();
            continue;
        }
        const CanonicalPath canonical = CanonicalPathOf(candidate, currentFolder);
        if (!canonical.problem.empty()) {
            PrintErrorLine(Say(Message::CantBackUp, {candidate, canonical.problem}));
        }
        candidate = canonical.path;
        if (!candidate.empty() && !isDirectory(candidate)) candidate.clear();
    }
    StringList folders = RemoveDuplicateTexts(candidates);
    for (WideString& folder : folders) folder = networkForm(folder);
    return folders;
}

StringList NotBackedUpLines(const StringList& configured, const WideString& currentFolder,
                            const FolderProbe& probe) {
    StringList lines;
    for (const WideString& folder : configured) {
        if (folder.empty()) continue;
        const CanonicalPath canonical = CanonicalPathOf(folder, currentFolder);
        WideString reason = canonical.problem.empty() ? MissingFolderReason(canonical.path, probe)
                                                      : canonical.problem;
        if (HasNameEndingInBlankOrDot(folder)) reason = Say(Message::UnreachableName);
        if (!reason.empty()) lines.push_back(NotBackedUpLine(folder, reason));
    }
    return lines;
}

StringList CollectBackupFolders(StringList* notBackedUp) {
    StringList candidates = HostFolderSettings();
    const StringList standard = UserAndPublicFolders();
    if (notBackedUp != nullptr) {
        // The development folder exists on developers' machines only.
        StringList configured(candidates.begin(), candidates.end() - 1);
        configured.insert(configured.end(), standard.begin(), standard.end());
        *notBackedUp = NotBackedUpLines(configured, CurrentFolder(), SystemFolderProbe());
    }
    candidates.insert(candidates.end(), standard.begin(), standard.end());
    return BuildFolderList(std::move(candidates), CurrentFolder(), DirectoryExists,
                           NetworkDriveToUnc);
}

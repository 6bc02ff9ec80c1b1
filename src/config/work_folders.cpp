#include "config/work_folders.h"

#include "config/directory_ops.h"
#include "config/folder_owner.h"
#include "config/name_text.h"
#include "config/program_identity.h"
#include "config/special_folders.h"
#include "config/system_paths.h"
#include "text/canonical_path.h"
#include "text/path_text.h"
#include "text/time_text.h"

namespace {

const wchar_t kWorkFolderName[] = L"Quillon.tmp";

}  // namespace

WideString WorkFolderBaseFor(const WideString& tempBase, FolderOwnership tempOwnership,
                             const WideString& localAppData) {
    if (tempOwnership == FolderOwnership::ThisUser || localAppData.empty()) return tempBase;
    return JoinPath(localAppData, kWorkFolderName);
}

WideString WorkFolder(const WideString& sub) {
    // Asked again only when the temporary folder changes.
    static WideString lastTemp;
    static WideString base;
    const WideString temp = TempFolder();
    if (base.empty() || temp != lastTemp) {
        const WideString tempBase = JoinPath(temp, kWorkFolderName);
        CreatePrivateFolderTree(tempBase);
        // A folder others may write to is as good as theirs.
        const FolderOwnership ownership = OthersCanWrite(tempBase) ? FolderOwnership::Other : OwnershipOf(tempBase);
        base = WorkFolderBaseFor(tempBase, ownership, SpecialFolderPath(kLocalAppData));
        lastTemp = temp;
    }
    const WideString folder = JoinPath(base, sub);
    CreatePrivateFolderTree(folder);
    return folder;
}

WideString ProgramFolderName(const WideString& recordedName, const WideString& fileName,
                             const WideString& dateText) {
    WideString name = fileName;
    if (!recordedName.empty() && !EqualNoCase(recordedName, name)) name = recordedName;
    return name.empty() ? dateText : FileNameStem(name);
}

WideString ProgramWorkFolderPath() {
    const WideString name =
        ProgramFolderName(ProgramName(), FileNamePart(ProgramPath()), FormatNow(L"%Y%m%d"));
    return AppendSeparator(JoinPath(JoinPath(TempFolder(), kWorkFolderName), name), L'\\');
}

StringList ScriptFolderChoicesFor(const WideString& workFolder, const WideString& localAppData,
                                  const WideString& publicDocuments, const WideString& stem) {
    StringList choices;
    const CanonicalPath work = CanonicalPathOf(workFolder, WideString());
    const CanonicalPath shared = CanonicalPathOf(publicDocuments, WideString());
    const bool workIsShared = !publicDocuments.empty() && shared.problem.empty() &&
                              (!work.problem.empty() || PathWithin(work.path, shared.path));
    if (!workIsShared) choices.push_back(workFolder);
    if (!localAppData.empty()) {
        choices.push_back(AppendSeparator(JoinPath(JoinPath(localAppData, kWorkFolderName), stem), L'\\'));
    }
    return choices;
}

StringList ScriptFolderChoices() {
    return ScriptFolderChoicesFor(ProgramWorkFolderPath(), SpecialFolderPath(kLocalAppData),
                                  SpecialFolderPath(kCommonDocuments), FileNameStem(ProgramPath()));
}

WideString ScriptFolder() {
    for (const WideString& folder : ScriptFolderChoices()) {
        if (CreateDirectoryTree(folder)) return folder;
    }
    return WideString();
}

#include "app/main_driver.h"

#include "app/backup_root.h"
#include "app/console_output.h"
#include "config/folder_list.h"
#include "job/backup_setup.h"
#include "script/text_files.h"
#include "text/argument_list.h"
#include "text/case_text.h"

MainDecision DecideMainRun(const StringList& arguments) {
    MainDecision decision;
    if (arguments.size() >= 2) {
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
    decision.kind = RunKind::Relocate;
    return decision;
}

bool RunMain() {
    const MainDecision decision = DecideMainRun(ArgumentListCopy());
    if (decision.kind == RunKind::Relocate) {
        // The drive search and the relocation are not built yet; the run
        // ends here until they are.
        return true;
    }
    if (decision.hasEchoLine) PrintLine(decision.echoLine);

    const WideString backupRoot = SelectBackupRoot();
    const StringList folders = CollectBackupFolders();
    SetUpAndRunBackup(folders, backupRoot);
    WriteFolderListFile(folders, backupRoot);
    // The housekeeping stages and Explorer are called from here as they are built.
    return true;
}

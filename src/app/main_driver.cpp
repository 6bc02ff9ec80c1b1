#include "app/main_driver.h"

#include "app/console_output.h"
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
    // The backup run's stages (backup root, folder list, job, folder-list
    // file, housekeeping, Explorer) are called from here as they are built.
    return true;
}

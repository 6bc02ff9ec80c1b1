#include "app/program_entry.h"

#include "common/system_calls.h"


#include "app/main_driver.h"
#include "common/system_library.h"
#include "common/windows_headers.h"
#include "config/program_identity.h"
#include "shell/console_window.h"
#include "text/argument_list.h"
#include "text/case_text.h"
#include "text/console_output.h"
#include "text/messages.h"
#include "text/version_info.h"

WideString VersionForDisplay(const WideString& version) {
    WideString display;
    for (const wchar_t c : version) {
        if (c == L' ') continue;
        display += c == L',' ? L'.' : c;
    }
    return display;
}

WideString BannerText(const WideString& fileVersion) {
    return L"brisk   Ver." + VersionForDisplay(fileVersion);
}

int RunProgram(int argumentCount, wchar_t** arguments) {
    LoadLibrariesFromSystemFolderOnly();
    InstallUserLocale();
    SetMessageLanguage(LanguageForInterface(GetUserDefaultUILanguage()));
    InstallConsoleStreams();
    SetArgumentList(argumentCount, arguments);

    CallShowWindow(FindOwnConsoleWindow(), SW_SHOWMAXIMIZED);

    // A start by bare name ("brisk" typed in a console) names no file: the
    // version is read from the running program's own file.
    const WideString typed = argumentCount > 0 && arguments[0] != nullptr ? arguments[0] : L"";
    const WideString programPath = WithFullProgramPath({typed}, ModuleFilePath()).front();
    PrintLine(BannerText(FileVersionOf(programPath)));
    PrintLine(WideString());

    return RunMain();
}

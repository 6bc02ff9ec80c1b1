#include "config/program_identity.h"


#include "common/windows_headers.h"
#include "text/argument_list.h"
#include "text/console_output.h"
#include "text/path_text.h"
#include "text/version_info.h"
#include "text/messages.h"

WideString ModuleFilePath() {
    wchar_t buffer[MAX_PATH + 1] = {};
    GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    return buffer;
}

WideString ProgramPath() {
    const WideString modulePath = ModuleFilePath();

    const StringList arguments = ArgumentListCopy();
    if (!arguments.empty()) {
        if (modulePath.empty()) return arguments[0];
        if (modulePath != arguments[0]) {
            PrintErrorLine(modulePath);
            PrintErrorLine(arguments[0]);
        }
        return modulePath;
    }
    static bool reported = false;
    if (!reported) {
        reported = true;
        PrintErrorLine(Say(Message::ProgramPathEmpty));
        PrintErrorLine(modulePath);
    }
    return modulePath;
}

WideString ProgramNameFor(const WideString& programPath) {
    const WideString original = OriginalFilenameOf(programPath);
    return original.empty() ? FileNamePart(programPath) : original;
}

WideString ProgramName() {
    static const WideString name = ProgramNameFor(ProgramPath());
    return name;
}

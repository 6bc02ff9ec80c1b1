#include "config/system_paths.h"

#include "common/windows_headers.h"
#include "config/directory_ops.h"
#include "config/special_folders.h"
#include "text/canonical_path.h"
#include "text/case_text.h"
#include "text/path_text.h"

namespace {

WideString UpToFirstNul(const WideString& text) { return text.substr(0, text.find(L'\0')); }

}  // namespace

WideString LongPathOf(const WideString& path) {
    wchar_t buffer[MAX_PATH + 1] = {};
    const WideString cut = path.substr(0, MAX_PATH);
    const DWORD length = GetLongPathNameW(cut.c_str(), buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return path;
    return WideString(buffer);
}

WideString EnvironmentText(const WideString& name) {
    const DWORD size = GetEnvironmentVariableW(name.c_str(), nullptr, 0);
    if (size == 0) return WideString();
    WideString value(size, L'\0');
    const DWORD length = GetEnvironmentVariableW(name.c_str(), &value[0], size);
    if (length == 0 || length >= size) return WideString();
    value.resize(length);
    return value;
}

WideString WindowsFolder() {
    wchar_t buffer[MAX_PATH + 1] = {};
    const UINT length = GetWindowsDirectoryW(buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return WideString();
    return WideString(buffer);
}

WideString CurrentFolder() {
    wchar_t buffer[MAX_PATH + 1] = {};
    const DWORD length = GetCurrentDirectoryW(MAX_PATH, buffer);
    if (length == 0 || length >= MAX_PATH) return WideString();
    return WideString(buffer);
}

WideString AvoidWindowsFolder(const WideString& temp, const WideString& windowsFolder,
                              const WideString& localAppData) {
    const CanonicalPath canonicalTemp = CanonicalPathOf(temp, WideString());
    const CanonicalPath canonicalWindows = CanonicalPathOf(windowsFolder, WideString());
    if (!canonicalTemp.problem.empty() || !canonicalWindows.problem.empty()) return temp;
    if (!PathWithin(canonicalTemp.path, canonicalWindows.path)) return temp;
    return JoinPath(localAppData, L"Temp");
}

WideString FallbackTempFolder(const std::function<WideString(const wchar_t*)>& environment,
                              bool slashTmpExists, const WideString& currentFolder,
                              bool* needsCreating) {
    *needsCreating = false;
    for (const wchar_t* name : {L"TMP", L"TMPDIR", L"TEMP"}) {
        const WideString value = environment(name);
        if (!value.empty()) return value;
    }
    WideString user = environment(L"USER");
    if (user.empty()) user = environment(L"USERNAME");
    if (user.empty()) user = L"___";
    *needsCreating = true;
    return JoinPath(slashTmpExists ? WideString(L"/tmp/") : currentFolder, user);
}

WideString TempFolder() {
    wchar_t buffer[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH, buffer);
    // The system's answer comes from the environment and costs nothing; what
    // is made of it costs file system and shell queries, so it is kept for
    // as long as the answer stays the same.
    static WideString lastAnswer;
    static WideString lastFolder;
    static bool known = false;
    const WideString answer(buffer, length < MAX_PATH ? length : 0);
    if (!known || answer != lastAnswer) {
        lastFolder = TempFolderFor(answer);
        lastAnswer = answer;
        known = true;
    }
    return lastFolder;
}

WideString TempFolderFor(const WideString& systemAnswer) {
    WideString temp = !systemAnswer.empty() ? LongPathOf(systemAnswer) : WideString();
    temp = AvoidWindowsFolder(temp, WindowsFolder(), SpecialFolderPath(kLocalAppData));
    if (temp.empty()) {
        bool needsCreating = false;
        temp = FallbackTempFolder([](const wchar_t* name) { return EnvironmentText(name); },
                                  DirectoryExists(L"/tmp"), CurrentFolder(), &needsCreating);
        if (needsCreating) CreateDirectoryTree(temp);
    }
    return UpToFirstNul(temp);
}

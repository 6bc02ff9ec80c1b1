#include "shell/open_request.h"

#include <cwctype>

#include "housekeeping/file_lists.h"
#include "text/case_text.h"
#include "text/number_text.h"
#include "text/path_text.h"

namespace {

const wchar_t kSearchFolderMarker[] = L"/Temp/_Search_/__/";
constexpr int kParentSteps = 11;

WideString UpperCased(WideString text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towupper(c));
    return text;
}

}  // namespace

WideString MapSearchFolderPath(const WideString& path, const ExistsQuery& exists) {
    const WideString slashed = NormalizeSeparators(path, L'/');
    const size_t marker = FindNoCase(slashed, kSearchFolderMarker, 0);
    if (marker != kNoPosition) {
        const WideString candidate =
            NormalizeSeparators(L"//" + slashed.substr(marker + wcslen(kSearchFolderMarker)), L'\\');
        if (exists(candidate)) return candidate;
    }
    return path;
}

WideString ExistingTarget(const WideString& target, const ExistsQuery& exists) {
    const WideString driveText = UpperCased(DriveOrServerRoot(target) + L"/");
    WideString candidate = target;
    for (int step = 0; step < kParentSteps && !exists(candidate); ++step) {
        candidate = ParentPath(candidate);
    }
    if (candidate.size() >= 2 && exists(candidate)) return candidate;
    return driveText;
}

WideString ExplorerIn(const WideString& windowsFolder) {
    return windowsFolder.empty() ? WideString() : JoinPath(windowsFolder, L"explorer.exe");
}

OpenRequest ChooseOpenRequest(const WideString& target, bool isFile, const WideString& windowsFolder) {
    if (ToLowerText(FileNameExtension(target)) == L"exe") return {target, WideString()};
    if (isFile) return {ExplorerIn(windowsFolder), L"/e,/select," + target};
    return {ExplorerIn(windowsFolder), target};
}

WideString OpenFailureText(intptr_t shellResult, uint32_t errorCode, const WideString& systemText,
                           const OpenRequest& request) {
    WideString text = L"0x" + IntegerToText(static_cast<uint64_t>(shellResult), 16);
    text += L"\r\n0x" + UnsignedToText(errorCode, 16);
    text += L"    " + systemText;
    text += L"\r\n";  // the operation, always the shell's default
    text += L"\r\n" + request.file;
    text += L"\r\n" + request.parameters;
    return text;
}

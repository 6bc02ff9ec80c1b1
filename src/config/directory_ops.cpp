#include "config/directory_ops.h"

#include "common/system_calls.h"

#include <direct.h>
#include <shlobj.h>


#include "common/scoped_handle.h"
#include "common/windows_headers.h"
#include "text/canonical_path.h"
#include "text/console_output.h"
#include "text/file_status.h"
#include "text/path_text.h"
#include "text/number_text.h"
#include "text/split_join.h"
#include "text/system_error.h"
#include "text/messages.h"

namespace {

WideString PreparedForQuery(const WideString& path) {
    const WideString stripped = StripTrailingSeparator(path);
    if (stripped.find(L'/') == kNoPosition) return stripped;
    return NormalizeSeparators(stripped, L'\\');
}

// Tests the path exactly as given after preparation (no further stripping).
bool PreparedDirectoryExists(const WideString& prepared) {
    if (IsNetworkPath(prepared)) {
        // A share root answers only with its separator.
        const WideString query = ShareRootOf(prepared) == prepared ? prepared + L"\\" : prepared;
        const DWORD attributes = GetFileAttributesW(query.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }
    const FileStatus status(prepared);
    return !status.Failed() && status.IsDirectory();
}

// "\\server" or "\\server\share" with nothing after the share name.
bool IsServerOrShareOnly(const WideString& prefix) {
    const bool backslashes = prefix.compare(0, 2, L"\\\\") == 0;
    const bool slashes = prefix.compare(0, 2, L"//") == 0;
    if (!backslashes && !slashes) return false;
    const wchar_t separator = backslashes ? L'\\' : L'/';
    const size_t afterServer = prefix.find(separator, 2);
    return afterServer == kNoPosition || prefix.find(separator, afterServer + 1) == kNoPosition;
}

bool NeedsCreating(const WideString& prefix) {
    if (prefix.empty() || prefix == L"/" || prefix == L"\\") return false;
    if (PreparedDirectoryExists(PreparedForQuery(prefix))) return false;
    if (prefix.back() == L':') return false;
    return !IsServerOrShareOnly(prefix);
}

}  // namespace

bool DirectoryExists(const WideString& path) {
    if (path.empty()) return false;
    return PreparedDirectoryExists(PreparedForQuery(path));
}

bool EntryExists(const WideString& path) {
    if (path.empty()) return false;
    const WideString prepared = PreparedForQuery(path);
    return IsNetworkPath(prepared) ? AccessExists(prepared) : !FileStatus(prepared).Failed();
}

bool MakeFolderTree(const WideString& folder) {
    if (folder.size() <= ShareRootOf(folder).size()) return true;
    if (GetFileAttributesW(LongPathForm(folder).c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    if (!MakeFolderTree(ParentPath(folder))) return false;
    return CreateDirectoryW(LongPathForm(folder).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool CreateDirectoryTree(const WideString& path) {
    if (path.empty()) return false;
    if (DirectoryExists(path)) return true;
    const StringList components =
        SplitOnChar(StripTrailingSeparator(NormalizeSeparators(path, L'\\')), L'\\');
    WideString prefix;
    for (size_t i = 0; i < components.size(); ++i) {
        if (i != 0) prefix += L'\\';
        prefix += components[i];
        if (!NeedsCreating(prefix)) continue;
        if (_wmkdir(prefix.c_str()) != 0) {
            PrintErrorLine(Say(Message::CantCreateFolder, {prefix, SystemReason(GetLastError())}));
            return false;
        }
    }
    return DirectoryExists(path);
}

bool CopyFileGuarded(const WideString& source, const WideString& target, bool noReplace) {
    if (!PathExists(source, false)) return false;
    if (noReplace && EntryExists(target)) return false;
    const WideString folder = ParentPath(target);
    // A file directly in a drive root: the drive is the folder, and the copy
    // itself says whether it is there.
    const bool driveRoot = StripTrailingSeparator(folder).size() == 2 && folder[1] == L':';
    if (!driveRoot && !DirectoryExists(folder) && !CreateDirectoryTree(folder)) return false;
    return CopyFileW(source.c_str(), target.c_str(), noReplace ? TRUE : FALSE) != 0;
}

WideString WriteProblemOf(const WideString& folder) {
    const int created = CallSHCreateDirectoryEx(nullptr, folder.c_str(), nullptr);
    if (created != ERROR_SUCCESS && created != ERROR_ALREADY_EXISTS) {
        return SystemReason(static_cast<DWORD>(created));
    }
    if (!DirectoryExists(folder)) return SystemReason(ERROR_DIRECTORY);
    const WideString probe =
        JoinPath(folder, L"brisk-probe-" + IntegerToText(GetCurrentProcessId(), 10) + L".tmp");
    const ScopedFileHandle file(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                            FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
                                            nullptr));
    if (!file.Valid()) return SystemReason(GetLastError());
    DWORD written = 0;
    if (!WriteFile(file.Get(), "x", 1, &written, nullptr) || written != 1) {
        return SystemReason(GetLastError());
    }
    return WideString();
}

#include "text/version_info.h"


#include "common/system_library.h"
#include "common/windows_headers.h"
#include "text/console_output.h"
#include "text/file_status.h"
#include "text/number_text.h"
#include "text/messages.h"

namespace {

void ReportFailure(const WideString& line) { PrintErrorLine(line); }

}  // namespace

WideString StringFileInfoPrefix(uint16_t language, uint16_t codePage) {
    return L"\\StringFileInfo\\" + ZeroPaddedText(language, 16, 4) +
           ZeroPaddedText(codePage, 16, 4) + L"\\";
}

bool VersionInfo::SetPath(const WideString& path) { return SetPath(path.c_str()); }

bool VersionInfo::SetPath(const wchar_t* path) {
    path_ = path != nullptr ? path : L"";
    if (path_.empty() || !PathExists(path_, false)) return false;
    return Load();
}

namespace {

// version.dll is not one Windows always takes from its own folder: it is
// loaded from there explicitly, never from beside the program.
DWORD FileVersionInfoSize(const wchar_t* path, DWORD* handle) {
    static const auto call = SystemFunction<decltype(&GetFileVersionInfoSizeW)>(L"version.dll",
                                                                                "GetFileVersionInfoSizeW");
    return call == nullptr ? 0 : call(path, handle);
}

BOOL FileVersionInfo(const wchar_t* path, DWORD handle, DWORD size, void* block) {
    static const auto call = SystemFunction<decltype(&GetFileVersionInfoW)>(L"version.dll", "GetFileVersionInfoW");
    return call != nullptr && call(path, handle, size, block);
}

BOOL QueryVersionValue(const void* block, const wchar_t* subBlock, void** value, UINT* length) {
    static const auto call = SystemFunction<decltype(&VerQueryValueW)>(L"version.dll", "VerQueryValueW");
    return call != nullptr && call(block, subBlock, value, length);
}

}  // namespace

bool VersionInfo::Load() {
    handle_ = 0;
    size_ = 0;
    DWORD handle = 0;
    const DWORD size = FileVersionInfoSize(path_.c_str(), &handle);
    handle_ = handle;
    size_ = size;
    if (size == 0) {
        ReportFailure(Say(Message::VersionSizeFailed));
        return false;
    }
    // Twice the reported size, as room to spare for conversions that
    // VerQueryValueW may make inside the block.
    std::vector<uint8_t> block(static_cast<size_t>(size) * 2, 0);
    if (!FileVersionInfo(path_.c_str(), handle, size, block.data())) {
        ReportFailure(Say(Message::VersionInfoFailed));
        return false;
    }
    void* translation = nullptr;
    UINT length = 0;
    if (!QueryVersionValue(block.data(), L"\\VarFileInfo\\Translation", &translation, &length)) {
        ReportFailure(Say(Message::VersionQueryFailed));
        return false;
    }
    if (length == 0 || translation == nullptr) {
        ReportFailure(Say(Message::VersionQueryEmpty));
        return false;
    }
    const auto* pair = static_cast<const uint16_t*>(translation);
    data_ = std::move(block);
    prefix_ = StringFileInfoPrefix(pair[0], pair[1]);
    return true;
}

WideString VersionInfo::QueryString(const wchar_t* name) {
    if (prefix_.empty() && !Load()) return WideString();
    const WideString subBlock = prefix_ + name;
    void* value = nullptr;
    UINT length = 0;
    if (!QueryVersionValue(data_.data(), subBlock.c_str(), &value, &length)) {
        ReportFailure(Say(Message::VersionValueFailed, {name}));
        return WideString();
    }
    if (length == 0 || value == nullptr) {
        ReportFailure(Say(Message::VersionValueEmpty, {name}));
        return WideString();
    }
    const auto* text = static_cast<const wchar_t*>(value);
    // The length counts characters including the terminator; never read past it.
    WideString result(text, length);
    return result.substr(0, result.find(L'\0'));
}

WideString FileVersionOf(const WideString& path) {
    VersionInfo info;
    info.SetPath(path);
    return info.FileVersion();
}

WideString OriginalFilenameOf(const WideString& path) {
    VersionInfo info;
    info.SetPath(path);
    return info.OriginalFilename();
}

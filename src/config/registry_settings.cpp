#include "config/registry_settings.h"

#include <vector>
#include "text/console_output.h"
#include "text/messages.h"

const wchar_t kHostFilePathKey[] = L"Software\\Harrowgate\\KORV\\KORV\\FilePath";
const wchar_t kHostPlanControlKey[] = L"Software\\Harrowgate\\KORV\\KORV\\PlnCtrl";
const wchar_t kDevelopmentFolder[] = L"T:\\Develop\\_.SRC";

LONG RegistryKey::Open(HKEY root, const WideString& subkey) {
    Close();
    HKEY key = nullptr;
    const LONG result = RegOpenKeyExW(root, subkey.c_str(), 0, KEY_READ, &key);
    if (result != ERROR_SUCCESS) return result;
    root_ = root;
    key_ = key;
    subkey_ = subkey;
    access_ = KEY_READ;
    return result;
}

void RegistryKey::Close() {
    if (key_ != nullptr) RegCloseKey(key_);
    root_ = nullptr;
    key_ = nullptr;
    subkey_.clear();
    access_ = 0;
}

WideString ReadRegistryText(HKEY root, const WideString& subkey, const WideString& valueName,
                            const WideString& defaultText) {
    if (subkey.empty()) return defaultText;
    RegistryKey key;
    if (key.Open(root, subkey) != ERROR_SUCCESS) {
        PrintErrorLine(Say(Message::RegistryKeyError, {subkey}));
        return defaultText;
    }
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key.Handle(), valueName.c_str(), nullptr, &type, nullptr, &size) !=
        ERROR_SUCCESS) {
        PrintErrorLine(Say(Message::RegistryValueError, {subkey, valueName}));
        return defaultText;
    }
    if (type != REG_SZ) {
        PrintErrorLine(Say(Message::RegistryNotText, {subkey, valueName}));
        return defaultText;
    }
    // Room for every stored byte (a writer may leave an odd count), rounded
    // up to whole characters, and one spare character: a stored text need
    // not end in a NUL.
    std::vector<wchar_t> buffer((size + 1) / sizeof(wchar_t) + 1, L'\0');
    DWORD bufferSize = size;
    if (RegQueryValueExW(key.Handle(), valueName.c_str(), nullptr, nullptr,
                         reinterpret_cast<BYTE*>(buffer.data()), &bufferSize) != ERROR_SUCCESS) {
        return WideString();
    }
    return WideString(buffer.data());
}

StringList HostFolderSettings() {
    const struct {
        const wchar_t* key;
        const wchar_t* value;
    } settings[] = {
        {kHostFilePathKey, L"User_Master"},
        {kHostFilePathKey, L"User_PatData"},
        {kHostFilePathKey, L"User_PatMake"},
        {kHostFilePathKey, L"User_Data"},
        {kHostPlanControlKey, L"最新の基本ディレクトリ名"},
    };
    StringList folders;
    for (const auto& setting : settings) {
        folders.push_back(ReadRegistryText(HKEY_CURRENT_USER, setting.key, setting.value, L""));
    }
    folders.push_back(kDevelopmentFolder);
    return folders;
}

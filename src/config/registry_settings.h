// The host application's registry settings.
#pragma once

#include "common/windows_headers.h"
#include "text/wide_string.h"

// One open registry key, closed when the holder goes away.
class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey() { Close(); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // Opens the subkey for reading; returns the system's error code (0 = opened).
    LONG Open(HKEY root, const WideString& subkey);
    void Close();
    HKEY Handle() const { return key_; }

private:
    HKEY root_ = nullptr;
    HKEY key_ = nullptr;
    WideString subkey_;
    REGSAM access_ = 0;
};

// A REG_SZ value's text (up to its first NUL), or the default. A key that
// cannot be opened, a missing value and a value of another type (REG_EXPAND_SZ
// and REG_MULTI_SZ included) each write their line to the error stream:
//   "REG_get_key error <subkey>"
//   "REG_get error <subkey> <value>"
//   "REG_get != REG_SZ <subkey> <value>"
// An empty subkey gives the default without any message.
WideString ReadRegistryText(HKEY root, const WideString& subkey, const WideString& valueName,
                            const WideString& defaultText);

// The host application's settings keys below HKEY_CURRENT_USER.
extern const wchar_t kHostFilePathKey[];
extern const wchar_t kHostPlanControlKey[];
// The development folder that follows the registry folders.
extern const wchar_t kDevelopmentFolder[];

// Six candidate folders: the five host application values (four under the
// FilePath key, the latest base directory under the PlnCtrl key; empty when
// unusable), then the development folder.
StringList HostFolderSettings();

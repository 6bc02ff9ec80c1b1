#include "config/registry_settings.h"

#include <gtest/gtest.h>

#include "config/directory_ops.h"
#include "config/folder_list.h"
#include "config/special_folders.h"
#include "test_support.h"
#include "text/number_text.h"

namespace {

TEST(ReadRegistryText, ReadsTextValuesAndRejectsOthers) {
    const WideString subkey = L"Software\\brisk-test\\read-" + IntegerToText(GetCurrentProcessId(), 10);
    ScratchRegistryKey scratch(subkey);
    scratch.SetText(L"plain", L"C:\\data", REG_SZ);
    scratch.SetText(L"expand", L"%TEMP%", REG_EXPAND_SZ);
    scratch.SetText(L"empty", L"", REG_SZ);
    const WideString longText(5000, L'x');
    scratch.SetText(L"long", longText, REG_SZ);
    scratch.SetDword(L"number", 7);
    // A path and one stray byte; a path without its NUL.
    scratch.SetBytes(L"odd", std::string("C\0:\0\\\0x\0\0\0!", 11), REG_SZ);
    scratch.SetBytes(L"unended", std::string("C\0:\0\\\0y\0", 8), REG_SZ);

    ErrorStreamCapture errors;
    EXPECT_EQ(ReadRegistryText(HKEY_CURRENT_USER, subkey, L"plain", L"dflt"), L"C:\\data");
    EXPECT_EQ(ReadRegistryText(HKEY_CURRENT_USER, subkey, L"empty", L"dflt"), L"");
    EXPECT_EQ(ReadRegistryText(HKEY_CURRENT_USER, subkey, L"long", L"dflt"), longText);
    EXPECT_EQ(ReadRegistryText(HKEY_CURRENT_USER, subkey, L"odd", L"dflt"), L"C:\\x");
    EXPECT_EQ(ReadRegistryText(HKEY_CURRENT_USER, subkey, L"unended", L"dflt"), L"C:\\y");
    EXPECT_EQ(errors.Text(), L"");

    EXPECT_EQ(ReadRegistryText(HKEY_CURRENT_USER, subkey, L"expand", L"dflt"), L"dflt");
    EXPECT_EQ(ReadRegistryText(HKEY_CURRENT_USER, subkey, L"number", L"dflt"), L"dflt");
    EXPECT_EQ(ReadRegistryText(HKEY_CURRENT_USER, subkey, L"missing", L"dflt"), L"dflt");
    EXPECT_EQ(ReadRegistryText(HKEY_CURRENT_USER, subkey + L"\\nokey", L"x", L"dflt"), L"dflt");
    EXPECT_EQ(ReadRegistryText(HKEY_CURRENT_USER, L"", L"x", L"dflt"), L"dflt");
    EXPECT_EQ(errors.Lines(), (StringList{
                                  L"REG_get != REG_SZ " + subkey + L" expand",
                                  L"REG_get != REG_SZ " + subkey + L" number",
                                  L"REG_get error " + subkey + L" missing",
                                  L"REG_get_key error " + subkey + L"\\nokey",
                              }));
}

StringList ExistingStandardFolders() {
    StringList existing;
    for (const WideString& folder : UserAndPublicFolders()) {
        if (DirectoryExists(folder)) existing.push_back(folder);
    }
    return existing;
}

// The host application's keys are shared by the whole prefix, so every case
// that writes them runs here, one after the other, and removes them again.
TEST(HostFolderSettings, FolderListFromTheHostApplicationsValues) {
    RemoveRegistryTree(L"Software\\Harrowgate");
    ScopedTempFolder folder;
    const WideString master = folder.Join(L"Master");
    const WideString data = folder.Join(L"\u30C7\u30FC\u30BF & 50%");
    const WideString base = folder.Join(L"base");
    const WideString aFile = folder.Join(L"file.txt");
    for (const WideString& path : {master, data, base}) ASSERT_TRUE(CreateDirectoryTree(path));
    ASSERT_TRUE(WriteFileBytes(aFile, "x"));
    const StringList standard = ExistingStandardFolders();
    ASSERT_FALSE(standard.empty());

    {
        SCOPED_TRACE("no host application settings at all");
        ErrorStreamCapture errors;
        const StringList folders = CollectBackupFolders();
        const StringList keyError = {L"REG_get_key error " + WideString(kHostFilePathKey)};
        EXPECT_EQ(errors.Lines(), (StringList{keyError[0], keyError[0], keyError[0], keyError[0],
                                              L"REG_get_key error " + WideString(kHostPlanControlKey)}));
        StringList expected = {L""};
        expected.insert(expected.end(), standard.begin(), standard.end());
        EXPECT_EQ(folders, expected);
    }
    {
        SCOPED_TRACE("values in table order, one folder however it is spelled");
        ScratchRegistryKey filePath(kHostFilePathKey);
        ScratchRegistryKey planControl(kHostPlanControlKey);
        filePath.SetText(L"User_Master", master, REG_SZ);
        filePath.SetText(L"User_PatData", data, REG_SZ);
        filePath.SetText(L"User_PatMake", master, REG_SZ);
        filePath.SetText(L"User_Data", master + L"\\", REG_SZ);
        planControl.SetText(L"最新の基本ディレクトリ名", base, REG_SZ);
        ErrorStreamCapture errors;
        StringList expected = {master, data, base, L""};
        expected.insert(expected.end(), standard.begin(), standard.end());
        EXPECT_EQ(CollectBackupFolders(), expected);
        EXPECT_EQ(errors.Text(), L"");
        filePath.Remove();
        planControl.Remove();
    }
    {
        SCOPED_TRACE("unusable values never reach the list");
        ScratchRegistryKey filePath(kHostFilePathKey);
        ScratchRegistryKey planControl(kHostPlanControlKey);
        filePath.SetText(L"User_Master", base, REG_EXPAND_SZ);
        filePath.SetText(L"User_PatData", aFile, REG_SZ);
        filePath.SetText(L"User_PatMake", WideString(3000, L'y'), REG_SZ);
        filePath.SetText(L"User_Data", L"", REG_SZ);
        planControl.SetDword(L"最新の基本ディレクトリ名", 5);
        ErrorStreamCapture errors;
        const StringList folders = CollectBackupFolders();
        EXPECT_EQ(errors.Lines(),
                  (StringList{L"REG_get != REG_SZ " + WideString(kHostFilePathKey) + L" User_Master",
                              L"REG_get != REG_SZ " + WideString(kHostPlanControlKey) +
                                  L" 最新の基本ディレクトリ名"}));
        StringList expected = {L""};
        expected.insert(expected.end(), standard.begin(), standard.end());
        EXPECT_EQ(folders, expected);
        filePath.Remove();
        planControl.Remove();
    }
    RemoveRegistryTree(L"Software\\Harrowgate");
}

}  // namespace

#include "shell/open_in_shell.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>

#include "test_support.h"
#include "text/case_text.h"
#include "text/path_text.h"

namespace {

// Makes a shortcut through the shell's link object, as Explorer would.
bool MakeShortcut(const WideString& shortcut, const WideString& target) {
    CoInitialize(nullptr);
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link)))) {
        return false;
    }
    IPersistFile* file = nullptr;
    bool saved = SUCCEEDED(link->SetPath(target.c_str())) &&
                 SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
                 SUCCEEDED(file->Save(shortcut.c_str(), TRUE));
    if (file != nullptr) file->Release();
    link->Release();
    return saved;
}

TEST(OpenInShell, TargetsResolveToWhatTheyStandFor) {
    ScopedTempFolder folder;
    const WideString report = folder.Join(L"report.txt");
    ASSERT_TRUE(WriteFileBytes(report, "r"));
    const WideString shortcut = folder.Join(L"report.LNK");
    ASSERT_TRUE(MakeShortcut(shortcut, report));

    EXPECT_EQ(ResolveOpenTarget(folder.Path()), folder.Path() + L"\\");
    EXPECT_EQ(ResolveOpenTarget(L"\"" + WithSlashes(folder.Path()) + L"\""), folder.Path() + L"\\");
    EXPECT_EQ(ResolveOpenTarget(L"'" + report + L"'"), report);
    EXPECT_EQ(ToLowerText(ResolveOpenTarget(shortcut)), ToLowerText(report));
    EXPECT_EQ(ResolveShortcutTarget(nullptr, folder.Join(L"missing.lnk")), L"");
    EXPECT_EQ(ResolveOpenTarget(folder.Join(L"missing.lnk")), L"");
    EXPECT_EQ(ResolveOpenTarget(folder.Join(L"not yet")), folder.Join(L"not yet\\"));
}

}  // namespace

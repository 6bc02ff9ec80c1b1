#include "job/shell_request.h"

#include <gtest/gtest.h>

#include <set>

#include "test_support.h"
#include "text/case_text.h"
#include "text/time_text.h"

namespace {

TEST(ShellRequest, ProgramLookupOrder) {
    std::set<WideString> files;
    ProgramLookup lookup;
    lookup.exists = [&](const WideString& path) { return files.count(path) != 0; };
    lookup.specialFolder = [](int csidl) {
        return csidl == 0x26 ? WideString(L"D:\\Programs") : csidl == 0x24 ? WideString(L"C:\\WIN")
                                                                          : WideString(L"C:\\WIN\\sys");
    };
    EXPECT_EQ(ResolveShellFile(L"tool.exe", lookup), L"tool.exe");
    files = {L"C:\\WIN\\sys\\tool.exe"};
    EXPECT_EQ(ResolveShellFile(L"tool.exe", lookup), L"C:\\WIN\\sys\\tool.exe");
    files.insert(L"C:\\WIN\\tool.exe");
    EXPECT_EQ(ResolveShellFile(L"sub\\tool.exe", lookup), L"C:\\WIN\\tool.exe");
    files.insert(L"C:\\Program Files (x86)\\tool.exe");
    EXPECT_EQ(ResolveShellFile(L"tool.exe", lookup), L"C:\\Program Files (x86)\\tool.exe");
    files.insert(L"D:\\Programs\\tool.exe");
    EXPECT_EQ(ResolveShellFile(L"tool.exe", lookup), L"D:\\Programs\\tool.exe");
    files.insert(L"tool.exe");
    EXPECT_EQ(ResolveShellFile(L"tool.exe", lookup), L"tool.exe");
    // Only programs are looked for in the Windows folders.
    files = {L"C:\\WIN\\notes.txt"};
    EXPECT_EQ(ResolveShellFile(L"notes.txt", lookup), L"notes.txt");
}

TEST(ShellRequest, ABareProgramNameIsFoundInTheWindowsFolder) {
    ShellRequest request;
    request.SetFile(L"notepad.exe");
    // The Windows folder's letter case differs between Windows and Wine.
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    EXPECT_EQ(ToLowerText(request.File()), ToLowerText(WideString(windows) + L"\\notepad.exe"));
}

TEST(ShellRequest, FailureMessages) {
    EXPECT_EQ(ShellFailureMessage(31, L"open", L"C:\\x.zzz", L""),
              L"There is no application associated with the given file name extension."
              L"\nOperation=\"open\"\nFile=\"C:\\x.zzz\"\nParamaters=\"\"");
    EXPECT_EQ(ShellErrorText(2, L"f", L"p"), L"The specified file was not found.");
    EXPECT_EQ(ShellErrorText(99, L"f", L"p"), L"Error\nf\np");
}

TEST(ShellRequest, ARefusalIsTraced) {
    // Windows answers an unknown extension with its "open with" dialog;
    // Wine refuses the request, which is the case traced here.
    if (!RunningUnderWine()) GTEST_SKIP() << "Windows asks the user instead of refusing";
    ScopedTempFolder folder;
    ScopedEnvironmentVariable tmp(L"TMP", folder.Path());
    const WideString file = folder.Join(L"data.zzqx");
    ASSERT_TRUE(WriteFileBytes(file, "no program opens this"));
    const WideString hourFile =
        folder.Join(L"Quillon.tmp\\_trace_\\WC\\" + FormatNow(L"%m%d_%H") + L".txt");

    ShellRequest request;
    request.SetFile(file);
    EXPECT_FALSE(request.Execute());
    const std::string bytes = ReadFileBytes(hourFile);
    ASSERT_GT(bytes.size(), 2u);
    const WideString trace(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
    EXPECT_NE(trace.find(L"\tThere is no application associated with the given file name "
                         L"extension.\tOperation=\"\"\tFile=\"" + file + L"\"\tParamaters=\"\"\r\n"),
              kNoPosition)
        << trace.size();
}

}  // namespace

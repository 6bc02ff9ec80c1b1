#include "text/version_info.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/windows_headers.h"
#include "test_support.h"

namespace {

const WideString kSizeFailure = L"::GetFileVersionInfoSize ... 0";

WideString ProgramFile() { return FileBesideTestProgram(L"brisk.exe"); }

TEST(VersionInfo, ReadsTheProgramsOwnResource) {
    ErrorStreamCapture errors;
    VersionInfo info;
    ASSERT_TRUE(info.SetPath(ProgramFile()));
    EXPECT_EQ(info.Prefix(), L"\\StringFileInfo\\040904b0\\");
    EXPECT_EQ(info.OriginalFilename(), L"brisk.exe");
    EXPECT_EQ(info.ProductName(), L"brisk");
    EXPECT_FALSE(info.CompanyName().empty());
    EXPECT_FALSE(info.LegalCopyright().empty());
    EXPECT_FALSE(info.FileDescription().empty());
    // The classic comma form: four numbers separated by ", ".
    const WideString version = info.FileVersion();
    EXPECT_EQ(std::count(version.begin(), version.end(), L','), 3) << version;
    EXPECT_NE(version.find(L", "), kNoPosition) << version;
    EXPECT_EQ(info.ProductVersion(), version);
    EXPECT_EQ(errors.Text(), L"");

    EXPECT_EQ(FileVersionOf(ProgramFile()), version);
    EXPECT_EQ(OriginalFilenameOf(ProgramFile()), L"brisk.exe");
}

// The program's manifest lets it use paths past 260 characters.
TEST(VersionInfo, TheProgramDeclaresItselfLongPathAware) {
    const HMODULE module = LoadLibraryExW(ProgramFile().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    const HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(resource, nullptr);
    const char* text = static_cast<const char*>(LockResource(LoadResource(module, resource)));
    const std::string manifest(text, SizeofResource(module, resource));
    EXPECT_NE(manifest.find("<ws2:longPathAware>true</ws2:longPathAware>"), std::string::npos) << manifest;
    FreeLibrary(module);
}

TEST(VersionInfo, AMissingValueIsReportedWhileOthersStillAnswer) {
    VersionInfo info;
    ASSERT_TRUE(info.SetPath(ProgramFile()));
    ErrorStreamCapture errors;
    EXPECT_EQ(info.SpecialBuild(), L"");
    EXPECT_EQ(info.Comments(), L"");
    EXPECT_EQ(info.OriginalFilename(), L"brisk.exe");
    EXPECT_EQ(errors.Lines(), (StringList{L"::VerQueryValue ...   SpecialBuild",
                                          L"::VerQueryValue ...   Comments"}));
}

TEST(VersionInfo, AFileWithoutResourceFailsTwiceAMissingFileOnce) {
    ScopedTempFolder folder;
    const WideString plain = folder.Join(L"plain.txt");
    ASSERT_TRUE(WriteFileBytes(plain, "no resource here"));
    {
        ErrorStreamCapture errors;
        EXPECT_EQ(FileVersionOf(plain), L"");
        EXPECT_EQ(errors.Lines(), (StringList{kSizeFailure, kSizeFailure}));
    }
    {
        // The test program itself has no version resource either.
        ErrorStreamCapture errors;
        EXPECT_EQ(OriginalFilenameOf(FileBesideTestProgram(L"brisk_unit_tests.exe")), L"");
        EXPECT_EQ(errors.Lines(), (StringList{kSizeFailure, kSizeFailure}));
    }
    {
        ErrorStreamCapture errors;
        EXPECT_EQ(FileVersionOf(folder.Join(L"missing.exe")), L"");
        EXPECT_EQ(errors.Lines(), StringList{kSizeFailure});
    }
    {
        ErrorStreamCapture errors;
        EXPECT_EQ(FileVersionOf(L""), L"");
        EXPECT_EQ(errors.Lines(), StringList{kSizeFailure});
    }
}

TEST(VersionInfo, AnObjectThatCannotLoadRetriesOnEveryQuery) {
    ErrorStreamCapture errors;
    VersionInfo info;
    EXPECT_FALSE(info.SetPath(L""));
    EXPECT_EQ(info.FileVersion(), L"");
    EXPECT_EQ(info.ProductName(), L"");
    EXPECT_EQ(info.Prefix(), L"");
    EXPECT_EQ(errors.Lines(), (StringList{kSizeFailure, kSizeFailure}));
}

TEST(VersionInfo, PrefixUsesFourLowerCaseHexDigitsEach) {
    EXPECT_EQ(StringFileInfoPrefix(0x0409, 0x04B0), L"\\StringFileInfo\\040904b0\\");
    EXPECT_EQ(StringFileInfoPrefix(0x0411, 0x04B0), L"\\StringFileInfo\\041104b0\\");
    EXPECT_EQ(StringFileInfoPrefix(0, 0xFFFF), L"\\StringFileInfo\\0000ffff\\");
}

}  // namespace

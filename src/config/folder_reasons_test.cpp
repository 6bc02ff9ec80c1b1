#include "config/folder_reasons.h"

#include <gtest/gtest.h>

#include <set>

#include "common/windows_headers.h"
#include "config/folder_list.h"
#include "test_support.h"

namespace {

// C: fixed, D: a card reader without a medium, Z: a mapped share that is
// gone; \\srv\share is reachable.
FolderProbe Probe() {
    const std::set<WideString> directories = {L"C:\\data", L"\\\\srv\\share", L"\\\\srv\\share\\x"};
    const std::set<WideString> files = {L"C:\\file.txt", L"\\\\srv\\share\\f.txt"};
    FolderProbe probe;
    probe.isDirectory = [=](const WideString& p) { return directories.count(p) != 0; };
    probe.exists = [=](const WideString& p) { return directories.count(p) + files.count(p) != 0; };
    probe.driveType = [](const WideString& d) {
        return d == L"C:" ? 3u : d == L"D:" ? 2u : d == L"Z:" ? 4u : 1u;
    };
    probe.driveReady = [](const WideString& d) { return d == L"C:"; };
    return probe;
}

TEST(FolderReasons, EachMissingFolderSaysWhy) {
    const struct {
        const wchar_t* folder;
        const wchar_t* reason;
    } cases[] = {
        {L"C:\\data", L""},
        {L"\\\\srv\\share\\x", L""},
        {L"C:\\missing", L"not found"},
        {L"C:\\", L"a whole drive is not backed up"},
        {L"C:\\file.txt", L"not a folder"},
        {L"\\\\srv\\share\\f.txt", L"not a folder"},
        {L"D:\\photos", L"drive not ready"},
        {L"Q:\\data", L"drive not ready"},
        {L"Z:\\data", L"network path not reachable"},
        {L"\\\\gone\\share\\x", L"network path not reachable"},
        {L"\\\\srv\\share\\missing", L"not found"},
    };
    for (const auto& c : cases) EXPECT_EQ(MissingFolderReason(c.folder, Probe()), c.reason) << c.folder;
}

TEST(FolderReasons, OneLinePerConfiguredFolderNotBackedUp) {
    EXPECT_EQ(NotBackedUpLines({L"C:\\data", L"", L"C:\\missing", L"data", L"\\\\srv"}, L"C:\\",
                               Probe()),
              (StringList{L"Not backed up: C:\\missing (not found)",
                          L"Not backed up: \\\\srv (it is not an absolute drive or network path)"}));
}

// A file on a network share is not a folder to the running system's probe.
// The share is \\BRISKTEST\share (the test prefix makes it under Wine);
// elsewhere another one can be named in BRISK_TEST_SHARE.
TEST(FolderReasons, TheSystemProbeTellsAFileOnAShareFromAFolder) {
    wchar_t named[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"BRISK_TEST_SHARE", named, MAX_PATH);
    const WideString share = length > 0 && length < MAX_PATH ? named : L"\\\\BRISKTEST\\share";
    if (GetFileAttributesW((share + L"\\").c_str()) == INVALID_FILE_ATTRIBUTES) {
        GTEST_SKIP() << "no test share " << share;
    }
    const WideString folder = share + L"\\probe " + std::to_wstring(GetCurrentProcessId());
    const WideString file = folder + L"\\korv.ini";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(file, "[korv]"));
    const FolderProbe probe = SystemFolderProbe();
    EXPECT_EQ(MissingFolderReason(file, probe), L"not a folder");
    EXPECT_EQ(MissingFolderReason(folder, probe), L"");
    EXPECT_EQ(MissingFolderReason(share, probe), L"");
    EXPECT_EQ(NotBackedUpLines({file}, L"C:\\", probe),
              StringList{L"Not backed up: " + file + L" (not a folder)"});
    DeleteFileW(file.c_str());
    RemoveDirectoryW(folder.c_str());
}

}  // namespace

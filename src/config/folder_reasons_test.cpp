#include "config/folder_reasons.h"

#include <gtest/gtest.h>

#include <set>

#include "config/folder_list.h"

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

}  // namespace

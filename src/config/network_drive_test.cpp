#include "config/network_drive.h"

#include <gtest/gtest.h>

namespace {

TEST(NetworkDrive, TheConnectionNameReplacesTheDrive) {
    EXPECT_EQ(ReplaceDriveWithConnection(L"Z:\\Data\\x", L"\\\\srv\\share"),
              L"\\\\srv\\share\\Data\\x");
    EXPECT_EQ(ReplaceDriveWithConnection(L"Z:", L"\\\\srv\\share"), L"\\\\srv\\share");
    EXPECT_EQ(ReplaceDriveWithConnection(L"Z:\\Data", L""), L"Z:\\Data");
}

TEST(NetworkDrive, LocalRelativeAndEmptyPathsStayAsTheyAre) {
    for (const wchar_t* path : {L"C:\\windows", L"B:\\bin", L"relative\\name", L"x", L"",
                                L"\\\\srv\\share\\x", L"Q:\\no\\such\\drive"}) {
        EXPECT_EQ(NetworkDriveToUnc(path), path);
    }
}

}  // namespace

#include "app/main_driver.h"

#include <gtest/gtest.h>

namespace {

TEST(MainDriver, NoArgumentOutsideDriveCBacksUpAndEchoesTheProgram) {
    const MainDecision d = DecideMainRun({L"D:\\tools\\brisk.exe"});
    EXPECT_EQ(d.kind, RunKind::Backup);
    EXPECT_TRUE(d.hasEchoLine);
    EXPECT_EQ(d.echoLine, L"D:\\tools\\brisk.exe");
}

TEST(MainDriver, NoArgumentOnDriveCRelocatesInAnyLetterCase) {
    for (const wchar_t* program : {L"C:\\brisk.exe", L"c:\\Tools\\x.exe"}) {
        const MainDecision d = DecideMainRun({program});
        EXPECT_EQ(d.kind, RunKind::Relocate) << program;
        EXPECT_FALSE(d.hasEchoLine) << program;
    }
}

TEST(MainDriver, DriveCMustBeTheVeryStart) {
    // "C:\" later in the path, or C: written with a slash, is not drive C:.
    for (const wchar_t* program : {L"\\\\srv\\C:\\x.exe", L"C:/brisk.exe", L"brisk.exe", L""}) {
        const MainDecision d = DecideMainRun({program});
        EXPECT_EQ(d.kind, RunKind::Backup) << program;
        EXPECT_EQ(d.echoLine, program);
    }
}

TEST(MainDriver, TheFirstArgumentIsEchoedAndLaterOnesIgnored) {
    const MainDecision d = DecideMainRun({L"C:\\brisk.exe", L"F:\\data", L"ignored"});
    EXPECT_EQ(d.kind, RunKind::Backup);
    EXPECT_TRUE(d.hasEchoLine);
    EXPECT_EQ(d.echoLine, L"F:\\data");

    const MainDecision empty = DecideMainRun({L"C:\\brisk.exe", L""});
    EXPECT_EQ(empty.kind, RunKind::Backup);
    EXPECT_TRUE(empty.hasEchoLine);
    EXPECT_EQ(empty.echoLine, L"");
}

}  // namespace

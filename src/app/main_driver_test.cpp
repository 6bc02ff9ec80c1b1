#include "app/main_driver.h"

#include <gtest/gtest.h>

namespace {

const auto kNone = [] { return -1; };
const auto kDriveE = [] { return 4; };

TEST(MainDriver, TheDecisionFollowsTheArgumentsAndTheDrives) {
    const auto unasked = [] {
        ADD_FAILURE() << "drives searched although the run backs up anyway";
        return -1;
    };
    const struct {
        StringList arguments;
        std::function<int()> removable;
        std::function<int()> fixed;
        RunKind kind;
        const wchar_t* echo;  // null: no echo line
    } cases[] = {
        {{L"D:\\tools\\brisk.exe"}, unasked, unasked, RunKind::Backup, L"D:\\tools\\brisk.exe"},
        {{L"C:\\brisk.exe"}, kDriveE, unasked, RunKind::RelocateToRemovable, nullptr},
        {{L"c:\\Tools\\x.exe"}, kNone, kDriveE, RunKind::CopyToFixedDrive, nullptr},
        {{L"C:\\brisk.exe"}, kNone, kNone, RunKind::Backup, nullptr},
        // "C:\" later in the path, or C: written with a slash, is not drive C:.
        {{L"\\\\srv\\C:\\x.exe"}, unasked, unasked, RunKind::Backup, L"\\\\srv\\C:\\x.exe"},
        {{L"C:/brisk.exe"}, unasked, unasked, RunKind::Backup, L"C:/brisk.exe"},
        {{L"C:\\brisk.exe", L"F:\\data", L"ignored"}, unasked, unasked, RunKind::Backup, L"F:\\data"},
        // An empty argument counts as none.
        {{L"C:\\brisk.exe", L""}, kDriveE, unasked, RunKind::RelocateToRemovable, nullptr},
        {{L"D:\\brisk.exe", L""}, unasked, unasked, RunKind::Backup, L"D:\\brisk.exe"},
    };
    for (const auto& c : cases) {
        const MainDecision d = DecideMainRun(c.arguments, c.removable, c.fixed);
        EXPECT_EQ(d.kind, c.kind) << c.arguments[0];
        EXPECT_EQ(d.hasEchoLine, c.echo != nullptr) << c.arguments[0];
        if (c.echo != nullptr) {
            EXPECT_EQ(d.echoLine, c.echo);
        }
        if (d.kind == RunKind::CopyToFixedDrive) {
            EXPECT_EQ(d.fixedDrive, 4);
        }
    }
}

TEST(MainDriver, BareAndRelativeNamesStandForFullPaths) {
    const WideString module = L"E:\\brisk.exe";
    EXPECT_EQ(WithFullProgramPath({L"brisk"}, module), StringList{module});
    EXPECT_EQ(WithFullProgramPath({L"tools\\brisk.exe", L"x"}, module), (StringList{module, L"x"}));
    EXPECT_EQ(WithFullProgramPath({L"D:\\brisk.exe"}, module), StringList{L"D:\\brisk.exe"});
    EXPECT_EQ(WithFullProgramPath({}, module), StringList{module});

    const struct {
        const wchar_t* argument;
        StringList after;
    } cases[] = {
        {L"data", {module, L"F:\\work\\data"}},
        {L"..\\x", {module, L"F:\\x"}},
        {L"G:\\x", {module, L"G:\\x"}},
        {L"C:/data", {module, L"C:\\data"}},
        {L"c:\\data\\", {module, L"C:\\data"}},
        {L"", {module}},
        {L"\\\\srv", {module, L"\\\\srv"}},  // no canonical form: left for the root's own check
        {L"a | b", {module, L"F:\\work\\a | b"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WithCanonicalFirstArgument({module, c.argument}, L"F:\\work"), c.after) << c.argument;
    }
    EXPECT_EQ(WithCanonicalFirstArgument({module}, L"F:\\work"), StringList{module});
}

}  // namespace

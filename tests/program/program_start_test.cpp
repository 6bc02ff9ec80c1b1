// Starts the real brisk.exe and checks what it prints and returns.
#include <gtest/gtest.h>

#include "common/windows_headers.h"
#include "test_support.h"

namespace {

std::string Narrow(const WideString& ascii) { return std::string(ascii.begin(), ascii.end()); }

WideString Program() { return FileBesideTestProgram(L"brisk.exe"); }

const std::string kBanner = "brisk   Ver." BRISK_VERSION_DISPLAY "\r\n\r\n";

TEST(ProgramStart, PrintsTheBannerAnEmptyLineAndTheProgramPath) {
    const ProgramRun run = RunCaptured(Program(), {});
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.output, kBanner + Narrow(Program()) + "\r\n");
}

TEST(ProgramStart, EchoesTheFirstArgumentOnly) {
    const ProgramRun run = RunCaptured(Program(), {L"F:\\data", L"ignored"});
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.output, kBanner + "F:\\data\r\n");
}

TEST(ProgramStart, EchoesAnyArgumentAsGiven) {
    const WideString odd[] = {
        L"F:\\with blanks\\and \"quotes\"",
        L"a & b | c > d % e ^ f",
        WideString(8000, L'x'),
        L"",
    };
    for (const WideString& argument : odd) {
        const ProgramRun run = RunCaptured(Program(), {argument});
        EXPECT_EQ(run.exitCode, 0u);
        EXPECT_EQ(run.output, kBanner + Narrow(argument) + "\r\n") << Narrow(argument).substr(0, 80);
    }
}

TEST(ProgramStart, CharactersTheOutputCannotCarryDoNotBreakIt) {
    // Japanese and an emoji: the output code page may lack them, but the
    // program must still print its lines and end normally.
    const ProgramRun run = RunCaptured(Program(), {L"E:\\\u65E5\u672C\u8A9E\U0001F600\\end"});
    EXPECT_EQ(run.exitCode, 0u);
    ASSERT_EQ(run.output.compare(0, kBanner.size(), kBanner), 0) << run.output;
    EXPECT_EQ(run.output.substr(0, kBanner.size() + 3), kBanner + "E:\\");
    EXPECT_EQ(run.output.substr(run.output.size() - 6), "\\end\r\n");
}

}  // namespace

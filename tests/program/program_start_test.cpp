// Starts the real brisk.exe and checks what it prints and returns.
#include <gtest/gtest.h>

#include "common/windows_headers.h"
#include "test_support.h"

namespace {

struct ProgramRun {
    DWORD exitCode = 0xFFFFFFFF;
    std::string output;
    std::string errors;
};

ProgramRun RunProgram(const WideString& program, const StringList& arguments) {
    ScopedTempFolder folder;
    const WideString outputPath = folder.Join(L"out.txt");
    const WideString errorPath = folder.Join(L"err.txt");
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE output = CreateFileW(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    HANDLE errors = CreateFileW(errorPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);

    WideString commandLine = QuoteArgument(program);
    for (const WideString& argument : arguments) commandLine += L" " + QuoteArgument(argument);

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = output;
    startup.hStdError = errors;
    PROCESS_INFORMATION process = {};
    ProgramRun run;
    if (CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                       nullptr, &startup, &process)) {
        WaitForSingleObject(process.hProcess, 60000);
        GetExitCodeProcess(process.hProcess, &run.exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(output);
    CloseHandle(errors);
    run.output = ReadFileBytes(outputPath);
    run.errors = ReadFileBytes(errorPath);
    return run;
}

std::string Narrow(const WideString& ascii) { return std::string(ascii.begin(), ascii.end()); }

WideString Program() { return FileBesideTestProgram(L"brisk.exe"); }

const std::string kBanner = "brisk   Ver." BRISK_VERSION_DISPLAY "\r\n\r\n";

TEST(ProgramStart, PrintsTheBannerAnEmptyLineAndTheProgramPath) {
    const ProgramRun run = RunProgram(Program(), {});
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.output, kBanner + Narrow(Program()) + "\r\n");
}

TEST(ProgramStart, EchoesTheFirstArgumentOnly) {
    const ProgramRun run = RunProgram(Program(), {L"F:\\data", L"ignored"});
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
        const ProgramRun run = RunProgram(Program(), {argument});
        EXPECT_EQ(run.exitCode, 0u);
        EXPECT_EQ(run.output, kBanner + Narrow(argument) + "\r\n") << Narrow(argument).substr(0, 80);
    }
}

TEST(ProgramStart, CharactersTheOutputCannotCarryDoNotBreakIt) {
    // Japanese and an emoji: the output code page may lack them, but the
    // program must still print its lines and end normally.
    const ProgramRun run = RunProgram(Program(), {L"E:\\\u65E5\u672C\u8A9E\U0001F600\\end"});
    EXPECT_EQ(run.exitCode, 0u);
    ASSERT_EQ(run.output.compare(0, kBanner.size(), kBanner), 0) << run.output;
    EXPECT_EQ(run.output.substr(0, kBanner.size() + 3), kBanner + "E:\\");
    EXPECT_EQ(run.output.substr(run.output.size() - 6), "\\end\r\n");
}

}  // namespace

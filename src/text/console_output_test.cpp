#include "text/console_output.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "test_support.h"

namespace {

TEST(ConsoleOutput, EncodesWithAReplacementForMissingCharacters) {
    EXPECT_EQ(EncodeForOutput(L"abc", 1252), "abc");
    EXPECT_EQ(EncodeForOutput(L"\u65E5\u672C", 1252), "??");
    EXPECT_EQ(EncodeForOutput(L"\u00E9", 1252), "\xE9");
    EXPECT_EQ(EncodeForOutput(L"\u65E5", 932), "\x93\xFA");
    EXPECT_EQ(EncodeForOutput(L"\u65E5", CP_UTF8), "\xE6\x97\xA5");
    EXPECT_EQ(EncodeForOutput(L"", 1252), "");
}

std::string ReadBytes(const WideString& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(ConsoleOutput, AnUnwritableCharacterDoesNotStopLaterLines) {
    ScopedTempFolder folder;
    const WideString path = folder.Join(L"out.txt");
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const ConsoleWriter out(file);
    EXPECT_TRUE(out.Write(L"first \u65E5\U0001F600 line\n"));
    EXPECT_TRUE(out.Write(L"second line\n"));
    CloseHandle(file);
    const std::string text = ReadBytes(path);
    EXPECT_NE(text.find("first "), std::string::npos) << text;
    EXPECT_NE(text.find(" line\r\nsecond line\r\n"), std::string::npos) << text;
}

TEST(ConsoleOutput, ACaptureTakesItsStreamsLinesAndGivesThemBack) {
    ConsoleCapture outer(ConsoleCapture::Stream::Error);
    {
        ConsoleCapture inner(ConsoleCapture::Stream::Error);
        ConsoleCapture output(ConsoleCapture::Stream::Output);
        PrintErrorText(L"3\r");
        PrintErrorLine(L"\u66F8\u3051\u307E\u305B\u3093");
        PrintLine(L"said");
        EXPECT_EQ(inner.Text(), L"3\r\u66F8\u3051\u307E\u305B\u3093\n");
        EXPECT_EQ(output.Text(), L"said\n");
    }
    PrintErrorLine(L"after");
    EXPECT_EQ(outer.Text(), L"after\n");
}

}  // namespace

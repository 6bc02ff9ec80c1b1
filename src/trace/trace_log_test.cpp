#include "trace/trace_log.h"

#include <gtest/gtest.h>

#include "config/program_identity.h"
#include "config/system_paths.h"
#include "test_support.h"
#include "text/path_text.h"
#include "text/time_text.h"

namespace {

TEST(ReplaceLineBreaks, FoldsEachBreakIntoTabs) {
    EXPECT_EQ(ReplaceLineBreaks(L"Error\nOperation=x", L"\t\t"), L"Error\tOperation=x");
    EXPECT_EQ(ReplaceLineBreaks(L"a\r\nb", L"\t\t"), L"a\t\tb");
    EXPECT_EQ(ReplaceLineBreaks(L"a\rb", L"\t\t"), L"a\tb");
    EXPECT_EQ(ReplaceLineBreaks(L"plain text", L"\t\t"), L"plain text");
    EXPECT_EQ(ReplaceLineBreaks(L"a\nb\rc", L"XYZ"), L"aYZbXc");
    EXPECT_EQ(ReplaceLineBreaks(L"a\r\nb", L""), L"ab");
}

TEST(TraceLog, HeaderFieldsAreFoldedWithTwoTabsEach) {
    EXPECT_EQ(TraceHeaderFields(L"kim", L"C:\\t\\", L"C:\\cwd", L"E:\\brisk.exe"),
              L"kim\t\tC:\\t\\\t\tC:\\cwd\t\tE:\\brisk.exe\t\t");
    EXPECT_EQ(TraceHeaderFields(L"", L"", L"", L""), L"\t\t\t\t\t\t\t\t");
    EXPECT_FALSE(UserName().empty());
}

// Points the temporary folder (and so the work folder) at a scratch folder.
class TraceLogFile : public ::testing::Test {
protected:
    TraceLogFile() : tmp_(L"TMP", scratch_.Path()) {}

    WideString HourFile() const {
        return scratch_.Join(L"Quillon.tmp\\_trace_\\WC\\" + FormatNow(L"%m%d_%H") + L".txt");
    }

    ScopedTempFolder scratch_;
    ScopedEnvironmentVariable tmp_;
};

WideString FromUtf16Bytes(const std::string& bytes) {
    return WideString(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
}

// "YYYY/MM/DD HH:MM:SS" at the start of the text.
bool StartsWithTimeStamp(const WideString& line) {
    if (line.size() < 19) return false;
    const WideString digits = L"0123456789";
    for (size_t i : {0u, 1u, 2u, 3u, 5u, 6u, 8u, 9u, 11u, 12u, 14u, 15u, 17u, 18u}) {
        if (digits.find(line[i]) == kNoPosition) return false;
    }
    return line[4] == L'/' && line[7] == L'/' && line[10] == L' ' && line[13] == L':' &&
           line[16] == L':';
}

TEST_F(TraceLogFile, TheFirstEntryOfAnHourMakesTheFileWithHeader) {
    WideString file = HourFile();
    ErrorStreamCapture errors;
    ASSERT_TRUE(WriteTrace(L"first\nOperation=\"open\""));
    if (HourFile() != file) {  // the hour turned during the call: try again in the new one
        file = HourFile();
        ASSERT_TRUE(WriteTrace(L"first\nOperation=\"open\""));
    }
    const std::string bytes = ReadFileBytes(file);
    ASSERT_GE(bytes.size(), 2u) << "no file " << file.size();
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");

    const WideString text = FromUtf16Bytes(bytes.substr(2));
    const size_t headerEnd = text.find(L"\r\n");
    ASSERT_NE(headerEnd, kNoPosition);
    const WideString header = text.substr(0, headerEnd);
    const WideString entry = text.substr(headerEnd + 2);
    ASSERT_TRUE(StartsWithTimeStamp(header)) << header;
    EXPECT_EQ(header.substr(19), L"\t" + TraceHeaderFields(UserName(), TempFolder(), CurrentFolder(),
                                                           ProgramPath()));
    ASSERT_TRUE(StartsWithTimeStamp(entry)) << entry;
    EXPECT_EQ(entry.substr(19), L"\t" + FileNamePart(ProgramPath()) +
                                    L"\tfirst\tOperation=\"open\"\r\n");

    // A second entry of the same hour adds only its line.
    ASSERT_TRUE(WriteTrace(L"second\r\nline"));
    if (HourFile() == file) {
        const WideString after = FromUtf16Bytes(ReadFileBytes(file).substr(2));
        ASSERT_EQ(after.substr(0, text.size()), text);
        const WideString added = after.substr(text.size());
        ASSERT_TRUE(StartsWithTimeStamp(added)) << added;
        EXPECT_EQ(added.substr(19), L"\t" + FileNamePart(ProgramPath()) + L"\tsecond\t\tline\r\n");
    }
}

}  // namespace

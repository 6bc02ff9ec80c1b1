#include "text/path_text.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const wchar_t* input;
    const wchar_t* expected;
};

TEST(PathText, StripTrailingSeparatorRemovesOne) {
    const Case cases[] = {{L"C:\\\\", L"C:\\"}, {L"C:\\", L"C:"}, {L"C:/", L"C:"},
                          {L"", L""},           {L"dir", L"dir"}, {L"\\", L""}};
    for (const Case& c : cases) EXPECT_EQ(StripTrailingSeparator(c.input), c.expected) << c.input;
}

TEST(PathText, AppendSeparatorOnlyWhenMissing) {
    const Case cases[] = {{L"", L""}, {L"D:", L"D:\\"}, {L"X:/", L"X:/"}, {L"E:\\", L"E:\\"},
                          {L"a\\b", L"a\\b\\"}};
    for (const Case& c : cases) EXPECT_EQ(AppendSeparator(c.input, L'\\'), c.expected) << c.input;
    EXPECT_EQ(AppendSeparator(L"a", L'/'), L"a/");
}

TEST(PathText, NormalizeSeparators) {
    const Case cases[] = {
        {L"C:/dir//sub/", L"C:\\dir\\sub"},
        {L"\\\\srv\\share\\", L"\\\\srv\\share"},
        {L"//srv/share/dir/", L"\\\\srv\\share\\dir"},
        {L"C:\\", L"C:"},
        {L"", L""},
        {L"C:\\\\dir", L"C:\\\\dir"},
        {L"C:\\dir\\\\\\sub", L"C:\\dir\\sub"},
        {L"a/b", L"a\\b"},
    };
    for (const Case& c : cases) EXPECT_EQ(NormalizeSeparators(c.input, L'\\'), c.expected) << c.input;
    EXPECT_EQ(NormalizeSeparators(L"C:\\dir\\sub", L'/'), L"C:/dir/sub");
}

TEST(PathText, FileNamePart) {
    const Case cases[] = {{L"C:\\a/b", L"a/b"},  {L"name", L"name"}, {L"C:/x/y.txt", L"y.txt"},
                          {L"C:\\dir\\", L""},    {L"", L""},         {L"\\\\srv\\share", L"share"}};
    for (const Case& c : cases) EXPECT_EQ(FileNamePart(c.input), c.expected) << c.input;
}

TEST(PathText, ParentPath) {
    const Case cases[] = {{L"D:\\_Backup_", L"D:"}, {L"name", L"\\"},    {L"C:/x/y", L"C:/x"},
                          {L"C:\\a/b", L"C:"},      {L"", L"\\"},        {L"E:\\a\\b\\", L"E:\\a\\b"}};
    for (const Case& c : cases) EXPECT_EQ(ParentPath(c.input), c.expected) << c.input;
}

TEST(PathText, DriveOrServerRoot) {
    const Case cases[] = {
        {L"\\\\srv\\share\\x", L"\\\\srv"}, {L"\\\\srv", L""},        {L"c:", L"c:"},
        {L"x", L""},                        {L"", L""},               {L"C:\\tools\\a.exe", L"C:"},
        {L"//srv/share", L"//srv"},         {L"\\\\srv/share", L"\\\\srv"},
        {L"relative\\x", L""},              {L"\\single\\x", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(DriveOrServerRoot(c.input), c.expected) << c.input;
}

TEST(PathText, QuoteWithLeavesTheInsideAlone) {
    EXPECT_EQ(QuoteWith(L"", L'"'), L"\"\"");
    EXPECT_EQ(QuoteWith(L"a\"b", L'"'), L"\"a\"b\"");
    EXPECT_EQ(QuoteWith(L"C:\\x y", L'"'), L"\"C:\\x y\"");
}

}  // namespace

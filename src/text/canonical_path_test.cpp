#include "text/canonical_path.h"

#include <gtest/gtest.h>

namespace {

TEST(CanonicalPath, SpellingsOfOneFolderMeetInOneForm) {
    const struct {
        const wchar_t* path;
        const wchar_t* current;
        const wchar_t* expected;
    } cases[] = {
        {L"C:\\Data\\Work", L"", L"C:\\Data\\Work"},
        {L"c:/data//work/", L"", L"c:\\data\\work"},
        {L"C:\\Data\\.\\x\\..\\Work\\\\", L"", L"C:\\Data\\Work"},
        {L"C:\\..\\..\\stickdata", L"", L"C:\\stickdata"},
        {L"C:\\Data\\Work.. ", L"", L"C:\\Data\\Work"},
        {L"C:\\Data \\Work", L"", L"C:\\Data\\Work"},
        {L"C:\\", L"", L"C:\\"},
        {L"C:\\Data\\..", L"", L"C:\\"},
        {L"\\\\?\\C:\\x", L"", L"C:\\x"},
        {L"\\\\.\\C:\\x\\", L"", L"C:\\x"},
        {L"\\\\?\\UNC\\srv\\share\\x", L"", L"\\\\srv\\share\\x"},
        {L"\\\\srv\\share\\a\\..\\..\\..", L"", L"\\\\srv\\share"},
        {L"//srv/share/x/./y", L"", L"\\\\srv\\share\\x\\y"},
        // Relative forms, against the folder the program was started in.
        {L".", L"E:\\tools", L"E:\\tools"},
        {L"..", L"E:\\tools", L"E:\\"},
        {L"hostdata\\master", L"E:\\tools\\", L"E:\\tools\\hostdata\\master"},
        {L"\\stick", L"E:\\tools", L"E:\\stick"},
        {L"\\x", L"\\\\srv\\share\\dir", L"\\\\srv\\share\\x"},
        {L"E:.", L"E:\\tools", L"E:\\tools"},
        {L"C:.", L"E:\\tools", L"C:\\"},
        {L"c:data", L"C:\\Users", L"C:\\Users\\data"},
    };
    for (const auto& c : cases) {
        const CanonicalPath canonical = CanonicalPathOf(c.path, c.current);
        EXPECT_EQ(canonical.path, c.expected) << c.path << L" in " << c.current;
        EXPECT_EQ(canonical.problem, L"") << c.path;
    }
}

TEST(CanonicalPath, PathsWithoutAnAbsoluteFormAreRefused) {
    const struct {
        const wchar_t* path;
        const wchar_t* current;
    } cases[] = {
        {L"", L"E:\\"},
        {L".", L""},
        {L"data", L"relative\\current"},
        {L"C:.", L""},
        {L"\\\\srv", L""},
        {L"\\\\srv\\", L""},
        {L"\\\\\\share\\x", L""},
        {L"\\\\?\\Volume{1234}\\x", L"E:\\"},
        {L"\\\\?\\relative", L"E:\\"},
        {L"C:\\data\\...\\x", L""},
        {L"C:\\a\\ . \\x", L""},
        {L"C:\\a\\b:c", L""},
        {L"C:\\a\\b?", L""},
        {L"1:\\x", L""},
    };
    for (const auto& c : cases) {
        const CanonicalPath canonical = CanonicalPathOf(c.path, c.current);
        EXPECT_EQ(canonical.path, L"") << c.path;
        EXPECT_NE(canonical.problem, L"") << c.path;
    }
}

TEST(CanonicalPath, WithinComparesWholeComponentsInAnyCase) {
    EXPECT_TRUE(PathWithin(L"C:\\a\\b", L"c:\\A"));
    EXPECT_TRUE(PathWithin(L"C:\\a", L"C:\\a"));
    EXPECT_TRUE(PathWithin(L"C:\\a", L"C:\\"));
    EXPECT_FALSE(PathWithin(L"C:\\ab", L"C:\\a"));
    EXPECT_FALSE(PathWithin(L"C:\\a", L"C:\\a\\b"));
    EXPECT_EQ(L"C\\x", PathBelow(L"E:\\_Backup_\\PC01\\C\\x", L"e:\\_backup_\\pc01"));
    EXPECT_EQ(L"", PathBelow(L"E:\\_Backup_\\PC01", L"E:\\_Backup_\\PC01"));
    EXPECT_EQ(L"", PathBelow(L"E:\\_Backup_\\PC012\\x", L"E:\\_Backup_\\PC01"));
    EXPECT_TRUE(PathWithin(L"\\\\srv\\s\\x", L"\\\\SRV\\s"));
}

TEST(CanonicalPath, NamesEndingInABlankOrADotAreTold) {
    for (const wchar_t* path : {L"\\\\?\\C:\\KORV\\trail ", L"C:\\a.\\b", L"C:\\dot.", L"C:/x /y"}) {
        EXPECT_TRUE(HasNameEndingInBlankOrDot(path)) << path;
    }
    for (const wchar_t* path : {L"C:\\a\\..\\b", L"C:\\a\\.\\b\\", L"C:.", L"\\\\?\\UNC\\srv\\s\\x", L"C:\\a.b"}) {
        EXPECT_FALSE(HasNameEndingInBlankOrDot(path)) << path;
    }
}

}  // namespace

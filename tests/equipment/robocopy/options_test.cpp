#include "options.h"

#include <gtest/gtest.h>

namespace {

TEST(RobocopyOptions, ReadsTheBackupPolicyLine) {
    // The arguments of the program's copy command, as the runtime splits them.
    const ParseResult r = ParseRobocopyArguments(
        {L"C:\\Data\\Work", L"E:\\_Backup_\\PC01\\C\\Data\\Work", L"/s", L"/purge", L"/mir",
         L"/fft", L"/r:3", L"/w:5", L"/xjd", L"/max:4294967296", L"/xf", L"*.bak", L"*.tmp",
         L"Thumbs.db", L"/xd", L"bak", L".vs", L"_Backup_", L"_Search_", L"_Backup_", L"*.tmp"});
    ASSERT_TRUE(r.ok) << r.error;
    const RobocopyOptions& o = r.options;
    EXPECT_EQ(o.source, L"C:\\Data\\Work");
    EXPECT_EQ(o.destination, L"E:\\_Backup_\\PC01\\C\\Data\\Work");
    EXPECT_TRUE(o.includeSpecs.empty());
    EXPECT_TRUE(o.subdirectories && o.emptySubdirectories && o.purge && o.mirror && o.fatTimes);
    EXPECT_EQ(o.retries, 3u);
    EXPECT_EQ(o.waitSeconds, 5u);
    EXPECT_TRUE(o.excludeJunctions);
    EXPECT_TRUE(o.hasMaxSize);
    EXPECT_EQ(o.maxSize, 4294967296u);
    EXPECT_EQ(o.excludeFiles, (std::vector<std::wstring>{L"*.bak", L"*.tmp", L"Thumbs.db"}));
    EXPECT_EQ(o.excludeDirs.size(), 6u);
    EXPECT_FALSE(o.excludeOlder || o.excludeExtra || o.listOnly);
}

TEST(RobocopyOptions, SpecsListsAndSwitchesAnywhere) {
    const ParseResult r = ParseRobocopyArguments({L"/S", L"src", L"dst", L"*.doc", L"*.xls",
                                                  L"/XF", L"a.doc", L"/LEV:3", L"b.doc", L"/XD",
                                                  L"old", L"/MAXAGE:20240101", L"/minage:7",
                                                  L"/min:10", L"/L", L"/XO", L"/XX", L"/E"});
    ASSERT_TRUE(r.ok) << r.error;
    const RobocopyOptions& o = r.options;
    EXPECT_EQ(o.includeSpecs, (std::vector<std::wstring>{L"*.doc", L"*.xls"}));
    EXPECT_EQ(o.excludeFiles, (std::vector<std::wstring>{L"a.doc", L"b.doc"}));
    EXPECT_EQ(o.excludeDirs, std::vector<std::wstring>{L"old"});
    EXPECT_EQ(o.levels, 3u);
    EXPECT_EQ(o.maxAge, 20240101u);
    EXPECT_EQ(o.minAge, 7u);
    EXPECT_EQ(o.minSize, 10u);
    EXPECT_TRUE(o.listOnly && o.excludeOlder && o.excludeExtra && o.emptySubdirectories);
    EXPECT_FALSE(o.purge);

    // A token with two slashes is a path, not a switch.
    const ParseResult unc = ParseRobocopyArguments({L"//srv/share", L"dst"});
    ASSERT_TRUE(unc.ok);
    EXPECT_EQ(unc.options.source, L"//srv/share");
}

TEST(RobocopyOptions, RejectsWhatItDoesNotKnow) {
    const struct {
        std::vector<std::wstring> arguments;
        const wchar_t* error;
    } cases[] = {
        {{L"src", L"dst", L"/mt:8"}, L"ERROR : Invalid Parameter #3 : \"/mt:8\""},
        {{L"/z", L"src", L"dst"}, L"ERROR : Invalid Parameter #1 : \"/z\""},
        {{L"src", L"dst", L"/r:x"}, L"ERROR : Invalid Parameter #3 : \"/r:x\""},
        {{L"src", L"dst", L"/max:-1"}, L"ERROR : Invalid Parameter #3 : \"/max:-1\""},
        {{L"src", L"dst", L"/xd", L"PACKAGES\\*SUSE*"},
         L"ERROR : Invalid Parameter #4 : \"PACKAGES\\*SUSE*\""},
        {{L"src", L"dst", L"/xf *.dat"}, L"ERROR : Invalid Parameter #3 : \"/xf *.dat\""},
        {{L"src"}, L"ERROR : No Destination Directory Specified."},
        {{}, L"ERROR : No Source Directory Specified."},
    };
    for (const auto& c : cases) {
        const ParseResult r = ParseRobocopyArguments(c.arguments);
        EXPECT_FALSE(r.ok) << c.error;
        EXPECT_EQ(r.error, c.error);
    }
}

TEST(RobocopyOptions, SummaryNamesWhatIsOn) {
    const ParseResult r = ParseRobocopyArguments({L"a", L"b", L"/mir", L"/fft", L"/r:3", L"/w:5"});
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(OptionsSummary(r.options),
              L"*.* /S /E /DCOPY:DA /COPY:DAT /PURGE /MIR /FFT /R:3 /W:5");
}

}  // namespace

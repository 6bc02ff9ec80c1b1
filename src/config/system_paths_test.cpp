#include "config/system_paths.h"

#include <gtest/gtest.h>

#include <map>

#include "config/directory_ops.h"
#include "config/special_folders.h"
#include "test_support.h"

namespace {

TEST(SystemPaths, ATempFolderInsideWindowsIsReplaced) {
    const WideString local = L"C:\\users\\u1\\AppData\\Local";
    const WideString replaced = L"C:\\users\\u1\\AppData\\Local\\Temp";
    const WideString windows = L"C:\\Windows";
    const struct {
        const wchar_t* temp;
        bool moved;
    } cases[] = {
        {L"C:\\Windows\\Temp\\", true},
        {L"c:\\WINDOWS\\temp\\", true},
        {L"C:/Windows", true},
        {L"C:\\Users\\WindowsFan\\Temp\\", false},
        {L"C:\\Windows.old\\Temp\\", false},
        {L"D:\\Windows\\Temp\\", false},
        {L"C:\\users\\u1\\Temp\\", false},
        {L"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AvoidWindowsFolder(c.temp, windows, local), c.moved ? replaced : c.temp) << c.temp;
    }
}

TEST(SystemPaths, TempFolderFollowsTheEnvironmentOfTheSystemQuery) {
    ScopedEnvironmentVariable tmp(L"TMP", L"C:\\windows\\temp");
    const WideString expected = SpecialFolderPath(kLocalAppData) + L"\\Temp";
    EXPECT_EQ(TempFolder(), expected);
}

TEST(SystemPaths, TempFolderIsTheLongFormOfTheSystemsFolder) {
    const WideString temp = TempFolder();
    EXPECT_TRUE(DirectoryExists(temp)) << temp;
    EXPECT_EQ(temp.back(), L'\\');
    EXPECT_EQ(temp.find(L'~'), kNoPosition) << temp;
}

TEST(SystemPaths, FallbackTempFolderTakesTheFirstVariableSet) {
    std::map<WideString, WideString> variables;
    const auto environment = [&](const wchar_t* name) { return variables[name]; };
    bool create = true;

    variables = {{L"TMPDIR", L"D:\\tmpdir"}, {L"TEMP", L"D:\\temp"}};
    EXPECT_EQ(FallbackTempFolder(environment, true, L"C:\\cwd", &create), L"D:\\tmpdir");
    EXPECT_FALSE(create);

    variables = {{L"USERNAME", L"kim"}};
    EXPECT_EQ(FallbackTempFolder(environment, true, L"C:\\cwd", &create), L"/tmp/kim");
    EXPECT_TRUE(create);

    variables = {{L"USER", L"lee"}, {L"USERNAME", L"kim"}};
    EXPECT_EQ(FallbackTempFolder(environment, false, L"C:\\cwd", &create), L"C:\\cwd\\lee");

    variables = {};
    EXPECT_EQ(FallbackTempFolder(environment, false, L"C:\\cwd\\", &create), L"C:\\cwd\\___");
}

TEST(SystemPaths, EnvironmentNamesIgnoreLetterCase) {
    ScopedEnvironmentVariable variable(L"BRISK_TEST_VARIABLE", L"value");
    EXPECT_EQ(EnvironmentText(L"brisk_test_variable"), L"value");
    EXPECT_EQ(EnvironmentText(L"BRISK_TEST_UNSET_VARIABLE"), L"");
}

TEST(SystemPaths, LongPathOfUnknownPathsIsThePathItself) {
    EXPECT_EQ(LongPathOf(L"C:\\no\\such\\folder"), L"C:\\no\\such\\folder");
    EXPECT_EQ(LongPathOf(L"C:\\windows"), L"C:\\windows");
    EXPECT_FALSE(CurrentFolder().empty());
}

}  // namespace

#include "config/system_paths.h"

#include <gtest/gtest.h>

#include <map>

#include "config/directory_ops.h"
#include "config/special_folders.h"
#include "test_support.h"

namespace {

TEST(SystemPaths, ATempFolderInsideWindowsIsReplaced) {
    const WideString documents = L"C:\\users\\Public\\Documents";
    const WideString replaced = L"C:\\users\\Public\\Documents\\Temp\\Temp";
    EXPECT_EQ(AvoidWindowsFolder(L"C:\\Windows\\Temp\\", documents), replaced);
    EXPECT_EQ(AvoidWindowsFolder(L"c:\\WINDOWS\\temp\\", documents), replaced);
    EXPECT_EQ(AvoidWindowsFolder(L"C:\\Users\\MrWindowsFan\\Temp\\", documents), replaced);
    EXPECT_EQ(AvoidWindowsFolder(L"C:\\users\\u1\\Temp\\", documents), L"C:\\users\\u1\\Temp\\");
    EXPECT_EQ(AvoidWindowsFolder(L"", documents), L"");
}

TEST(SystemPaths, TempFolderFollowsTheEnvironmentOfTheSystemQuery) {
    ScopedEnvironmentVariable tmp(L"TMP", L"C:\\windows\\temp");
    const WideString expected = SpecialFolderPath(kCommonDocuments) + L"\\Temp\\Temp";
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

// Expiry and trace entries in a real process: what is scheduled goes only
// when that process ends.
#include <gtest/gtest.h>

#include "common/windows_headers.h"
#include "config/directory_ops.h"
#include "housekeeping/file_lists.h"
#include "test_support.h"
#include "text/file_status.h"
#include "text/time_text.h"

namespace {

WideString Probe() { return FileBesideTestProgram(L"housekeeping_probe.exe"); }

TEST(HousekeepingProcess, OldWritableFilesGoWhenTheProcessEnds) {
    ScopedTempFolder folder;
    const WideString old = folder.Join(L"old.txt");
    const WideString exactlyOld = folder.Join(L"exactly11.txt");
    const WideString young = folder.Join(L"young.txt");
    const WideString readOnly = folder.Join(L"readonly.txt");
    const WideString otherKind = folder.Join(L"old.log");
    for (const WideString& file : {old, exactlyOld, young, readOnly, otherKind}) {
        ASSERT_TRUE(WriteFileBytes(file, "x"));
    }
    ASSERT_TRUE(SetLastWriteDaysAgo(old, 30));
    ASSERT_TRUE(SetLastWriteDaysAgo(exactlyOld, 10.01));
    ASSERT_TRUE(SetLastWriteDaysAgo(young, 9.9));
    ASSERT_TRUE(SetLastWriteDaysAgo(readOnly, 30));
    ASSERT_TRUE(SetLastWriteDaysAgo(otherKind, 30));
    ASSERT_TRUE(SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));

    const ProgramRun run = RunCaptured(Probe(), {L"expire", folder.Join(L".txt"), L"10"});
    EXPECT_EQ(run.exitCode, 0u);
    // Scheduled, but all five were still there while the process ran.
    EXPECT_EQ(run.output, "scheduled\r\npresent 5\r\n");
    EXPECT_FALSE(PathExists(old, false));
    EXPECT_FALSE(PathExists(exactlyOld, false));
    EXPECT_TRUE(PathExists(young, false));
    EXPECT_TRUE(PathExists(readOnly, false));
    EXPECT_TRUE(PathExists(otherKind, false));
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(HousekeepingProcess, OnlyTheFirstTraceEntrySchedulesTheExpiry) {
    ScopedTempFolder temp;
    const WideString traceFolder = temp.Join(L"Quillon.tmp\\_trace_");
    ASSERT_TRUE(CreateDirectoryTree(traceFolder + L"\\WC"));
    const WideString oldTop = traceFolder + L"\\0101_00.txt";
    const WideString oldHourly = traceFolder + L"\\WC\\0102_03.txt";
    const WideString madeLater = traceFolder + L"\\WC\\0103_04.txt";
    for (const WideString& file : {oldTop, oldHourly}) {
        ASSERT_TRUE(WriteFileBytes(file, "old"));
        ASSERT_TRUE(SetLastWriteDaysAgo(file, 20));
    }

    ScopedEnvironmentVariable tmp(L"TMP", temp.Path());
    const ProgramRun run =
        RunCaptured(Probe(), {L"trace", L"--age-between", madeLater, L"first", L"second"});
    EXPECT_EQ(run.exitCode, 0u) << run.errors;
    EXPECT_FALSE(PathExists(oldTop, false));
    EXPECT_FALSE(PathExists(oldHourly, false));
    EXPECT_TRUE(PathExists(madeLater, false));
    // The entries themselves went into this hour's file beside it.
    EXPECT_EQ(ListMatchingFiles(traceFolder + L"\\WC", L"*.txt").size(), 2u);
}

TEST(HousekeepingProcess, TheHourFileWrittenThisRunStays) {
    ScopedTempFolder temp;
    const WideString hourFolder = temp.Join(L"Quillon.tmp\\_trace_\\WC");
    ASSERT_TRUE(CreateDirectoryTree(hourFolder));
    // Last year's file of the same hour: old when the run starts.
    const WideString hourFile = hourFolder + L"\\" + FormatNow(L"%m%d_%H") + L".txt";
    ASSERT_TRUE(WriteFileBytes(hourFile, std::string("\xFF\xFEo\0l\0d\0", 8)));
    ASSERT_TRUE(SetLastWriteDaysAgo(hourFile, 365));

    ScopedEnvironmentVariable tmp(L"TMP", temp.Path());
    const ProgramRun run = RunCaptured(Probe(), {L"trace", L"this run's entry"});
    EXPECT_EQ(run.exitCode, 0u) << run.errors;
    const std::string bytes = ReadFileBytes(hourFile);
    const WideString text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
    EXPECT_NE(text.find(L"this run's entry"), kNoPosition) << "the hour file was deleted at exit";
}

}  // namespace

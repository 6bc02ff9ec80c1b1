#include "housekeeping/free_space_marker.h"

#include <gtest/gtest.h>

#include "housekeeping/file_lists.h"
#include "housekeeping/usage_bitmap.h"
#include "test_support.h"
#include "text/file_status.h"

namespace {

TEST(FreeSpaceMarker, NamesInGibibytesWithTwoDecimals) {
    EXPECT_EQ(FreeSpaceMarkerName(uint64_t{5} << 30), L"5.00GB.tmp");
    EXPECT_EQ(FreeSpaceMarkerName(uint64_t{3} << 29), L"1.50GB.tmp");
    EXPECT_EQ(FreeSpaceMarkerName(uint64_t{5} << 40), L"5120.00GB.tmp");
    EXPECT_EQ(FreeSpaceMarkerName(0), L"0.00GB.tmp");
    // Rounded to the precision, padded to the width, with a point in any locale.
    EXPECT_EQ(FormatDecimal(0.999, 0, 2), L"1.00");
    EXPECT_EQ(FormatDecimal(2.345, 6, 1), L"   2.3");
    EXPECT_EQ(FormatDecimal(3.0, 0, 0), L"3");
    EXPECT_EQ(FormatDecimal(1.05, 0, 2), L"1.05");
    EXPECT_FALSE(IsReadableSpace({0, 0}));
    EXPECT_FALSE(IsReadableSpace({500, 999}));
    EXPECT_TRUE(IsReadableSpace({0, 1000}));
}

TEST(FreeSpaceMarker, ReplacesTheTemporaryFilesOfTheFolderOnly) {
    ScopedTempFolder folder;
    for (const wchar_t* name : {L"a.TMP", L"b.tmp", L"report.tmp.txt", L"notes.txt", L"tmp_file.txt",
                                L"sub\\c.tmp", L"sub\\tmp_file.txt"}) {
        ASSERT_TRUE(CreateEmptyFile(folder.Join(name))) << name;
    }
    ASSERT_TRUE(WriteFreeSpaceMarker(folder.Path()));
    ASSERT_TRUE(WriteFreeSpaceMarker(folder.Path() + L"\\"));  // a second run, one marker
    StringList kept;
    for (const wchar_t* name : {L"a.TMP", L"b.tmp", L"report.tmp.txt", L"notes.txt", L"tmp_file.txt",
                                L"sub\\c.tmp", L"sub\\tmp_file.txt"}) {
        if (PathExists(folder.Join(name), false)) kept.push_back(name);
    }
    EXPECT_EQ(kept, (StringList{L"report.tmp.txt", L"notes.txt", L"sub\\c.tmp", L"sub\\tmp_file.txt"}));
    const DriveSpace space = QueryDriveSpace(folder.Path());
    ASSERT_TRUE(IsReadableSpace(space));
    // The figure may move while the test runs; one marker, of zero length.
    const StringList markers = ListMatchingFiles(folder.Path(), L"*GB.tmp");
    ASSERT_EQ(markers.size(), 1u);
    EXPECT_EQ(FileStatus(markers[0]).Size(), 0);
}

TEST(UsageBitmap, TheFileIsAStandardBitmap) {
    ScopedTempFolder folder;
    const WideString path = folder.Join(L"gauge.dib");
    ASSERT_TRUE(WriteDibFile(DrawUsageGauge(555, 0x00E000), path));
    const std::string bytes = ReadFileBytes(path);
    ASSERT_EQ(bytes.size(), 262198u);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(bytes.substr(10, 4), std::string("\x36\0\0\0", 4));
    EXPECT_EQ(bytes.substr(28, 2), std::string("\x20\0", 2));
    // Row 1, pixel 1 (inside the border): the colour, opaque, blue byte first.
    EXPECT_EQ(bytes.substr(54 + 257 * 4, 4), std::string("\0\xE0\0\xFF", 4));

    DibImage empty;
    EXPECT_FALSE(WriteDibFile(empty, path));
    EXPECT_EQ(ReadFileBytes(path), "");
    EXPECT_FALSE(WriteDibFile(DrawUsageGauge(0, 0), L""));
}

}  // namespace

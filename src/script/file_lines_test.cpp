#include "script/file_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/windows_headers.h"
#include "points/stick_records.h"
#include "script/text_files.h"
#include "test_support.h"
#include "verify/file_digest.h"

namespace {

using Lines = std::vector<std::string>;

// The lines of the bytes fed in pieces of the given size.
Lines Cut(const std::string& bytes, size_t piece, size_t limit = kLongestLine) {
    Lines lines;
    LineCutter cutter([&](const std::string& line) { lines.push_back(line); }, limit);
    for (size_t at = 0; at < bytes.size(); at += piece) cutter.Feed(bytes.data() + at, std::min(piece, bytes.size() - at));
    cutter.Finish();
    return lines;
}

TEST(FileLines, LinesAreCutAtTheirEndsTheMarkSkippedAndOverlongLinesDropped) {
    const struct {
        std::string bytes;
        size_t limit;
        Lines lines;
    } cases[] = {
        {"a\r\nb\n", kLongestLine, {"a", "b"}},
        {"a\n\n\r\nb", kLongestLine, {"a", "b"}},
        {"\xEF\xBB\xBF" "first\nsecond", kLongestLine, {"first", "second"}},
        // A mark elsewhere, or only part of one, is text.
        {"a\n\xEF\xBB\xBF" "b", kLongestLine, {"a", "\xEF\xBB\xBF" "b"}},
        {"\xEF\xBB" "x\n", kLongestLine, {"\xEF\xBB" "x"}},
        {"\xEF\xBB", kLongestLine, {"\xEF\xBB"}},
        {"abcd\nxyz\nabc", 3, {"xyz", "abc"}},
        {"abcdefgh", 3, {}},
        {"\xEF\xBB\xBF" "abc\n", 3, {"abc"}},
    };
    for (const auto& one : cases) {
        for (size_t piece : {size_t{1}, size_t{2}, size_t{1000}}) {
            EXPECT_EQ(Cut(one.bytes, piece, one.limit), one.lines) << one.bytes << " in pieces of " << piece;
        }
    }
}

TEST(FileLines, AListWithAMarkReadsItsFirstLineAndAnEndlessLineIsNeverHeld) {
    ScopedTempFolder temp;
    const WideString folder = temp.Join(L"PC01");
    CreateDirectoryW(folder.c_str(), nullptr);
    WriteFileBytes(folder + L"\\a.txt", "abc");
    const WideString hex = DigestHex(DigestOfBytes("abc", 3));
    // An editor's mark before the first line, then one line longer than any path.
    WriteFileBytes(temp.Join(L"PC01.sha256"), "\xEF\xBB\xBF" + std::string(hex.begin(), hex.end()) + "  a.txt\n" +
                                                  std::string(3 * kLongestLine, 'f') + "  b.txt");
    const std::vector<StoredFile> files = StoredFilesOf(folder, temp.Join(L"PC01.sha256"));
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(files[0].listed);
    EXPECT_EQ(files[0].digest, DigestOfBytes("abc", 3));

    size_t longest = 0;
    EXPECT_TRUE(ForEachFileLine(temp.Join(L"PC01.sha256"), [&](const std::string& line) {
        longest = std::max(longest, line.size());
    }));
    EXPECT_LE(longest, kLongestLine);
    EXPECT_TRUE(ForEachFileLine(temp.Join(L"none.txt"), [](const std::string&) { ADD_FAILURE(); }));
}

}  // namespace

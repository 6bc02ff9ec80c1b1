#include "verify/checksum_book.h"

#include <gtest/gtest.h>

#include <set>

namespace {

ChecksumRecord Record(const WideString& relative, uint64_t size, uint64_t run) {
    ChecksumRecord record;
    record.relative = relative;
    record.digest = DigestOfBytes(relative.data(), relative.size() * sizeof(wchar_t));
    record.size = size;
    record.lastWrite = 133000000000000000 + static_cast<int64_t>(size);
    record.checkedRun = run;
    return record;
}

TEST(ChecksumBook, ListsAreSha256sumTextAndReadBackToTheSameBook) {
    ChecksumBook book;
    book.SetRun(7);
    book.Put(Record(L"C\\KORV\\Data\\b & c%.txt", 10, 6));
    book.Put(Record(L"C\\KORV\\Data\\a b.txt", 0, 5));
    book.Put(Record(L"C\\Users\\u\\Documents\\\u65e5\u672c\\caf\u00e9.doc", 1 << 20, 3));

    const std::string list = ChecksumListText(book);
    // Sorted by path, "/" separators, UTF-8, LF, two blanks after lower-case hex.
    const std::string first = ChecksumLine(book.Find(L"c\\korv\\data\\a b.txt")->digest, L"C\\KORV\\Data\\a b.txt");
    EXPECT_EQ(0u, list.find(first + "\n"));
    EXPECT_EQ(64u, first.find("  C/KORV/Data/a b.txt"));
    EXPECT_NE(std::string::npos, list.find("  C/Users/u/Documents/\xe6\x97\xa5\xe6\x9c\xac/caf\xc3\xa9.doc\n"));
    EXPECT_EQ(std::string::npos, list.find('\r'));

    const std::string runs = RunsListText(book);
    EXPECT_EQ(0u, runs.find("run 7\n"));

    const ChecksumBook read = BookFromLists(list, runs);
    EXPECT_EQ(8u, read.Run());
    ASSERT_EQ(3u, read.Size());
    for (const ChecksumRecord* record : book.Sorted()) {
        const ChecksumRecord* back = read.Find(record->relative);
        ASSERT_NE(nullptr, back) << record->relative;
        EXPECT_EQ(record->relative, back->relative);
        EXPECT_EQ(record->digest, back->digest);
        EXPECT_EQ(record->size, back->size);
        EXPECT_EQ(record->lastWrite, back->lastWrite);
        EXPECT_EQ(record->checkedRun, back->checkedRun);
    }
}

TEST(ChecksumBook, AFileInOneListOnlyOrALineThatDoesNotReadIsLeftOut) {
    ChecksumBook book;
    book.Put(Record(L"C\\a", 1, 1));
    book.Put(Record(L"C\\b", 2, 1));
    std::string list = ChecksumListText(book);
    const std::string runs = RunsListText(book) + "5 x 1 C/a\nnot a line\n";
    list.replace(list.find("  C/b"), 5, " *C/b");  // the binary-mode marker is not ours
    const ChecksumBook read = BookFromLists(list + "zz  C/c\n", runs);
    EXPECT_EQ(1u, read.Size());
    EXPECT_NE(nullptr, read.Find(L"C\\A"));  // paths match whatever their letter case
    EXPECT_EQ(2u, read.Run());
    EXPECT_EQ(0u, BookFromLists("", "").Size());
    EXPECT_EQ(1u, BookFromLists("", "").Run());
}

TEST(ChecksumBook, PathsThatLeaveTheComputersFolderAreDropped) {
    // Lines naming another computer's backup, the version sets or the
    // stick's root, in every spelling, never reach the book.
    const WideString outside[] = {L"..\\PC02\\C\\a.txt", L"C\\..\\..\\_Versions_\\PC01\\x",
                                  L"\\brisk.exe", L"E:\\brisk.exe", L"C\\.\\a", L"C\\\\a",
                                  L"C\\a.txt:stream", L"", L".."};
    ChecksumBook book;
    book.Put(Record(L"C\\KORV\\kept.txt", 3, 1));
    for (const WideString& path : outside) {
        EXPECT_FALSE(IsRecordPathBelow(path)) << path;
        book.Put(Record(path, 4, 1));
    }
    const ChecksumBook read = BookFromLists(ChecksumListText(book), RunsListText(book));
    ASSERT_EQ(1u, read.Size());
    EXPECT_NE(nullptr, read.Find(L"C\\KORV\\kept.txt"));
    // A leading "/" in a list, as a hand-edited line would have it.
    const std::string slashed = ChecksumLine(Record(L"x", 1, 1).digest, L"x");
    EXPECT_EQ(0u, BookFromLists(slashed.substr(0, 66) + "/x\n", "1 1 1 /x\n").Size());
}

TEST(ChecksumBook, UnseenRecordsGoOnlyBelowTheFolderChecked) {
    ChecksumBook book;
    for (const wchar_t* path : {L"C\\Data\\a", L"C\\Data\\sub\\b", L"C\\Data2\\c", L"D\\Data\\d", L"C\\Data\\put back"}) {
        book.Put(Record(path, 1, 1));
    }
    book.MarkSeen(L"c\\data\\SUB\\b");
    book.DropUnseenBelow(L"C\\Data", [](const ChecksumRecord& record) { return record.relative == L"C\\Data\\put back"; });
    EXPECT_EQ(nullptr, book.Find(L"C\\Data\\a"));
    EXPECT_NE(nullptr, book.Find(L"C\\Data\\put back"));
    EXPECT_NE(nullptr, book.Find(L"C\\Data\\sub\\b"));
    EXPECT_NE(nullptr, book.Find(L"C\\Data2\\c"));
    EXPECT_NE(nullptr, book.Find(L"D\\Data\\d"));
}

TEST(ChecksumBook, RollingBudgetIsAllOfASmallBackupAndAnEighthOfALargeOne) {
    const uint64_t mb = 1 << 20;
    const struct {
        uint64_t bytes;
        uint64_t budget;
    } cases[] = {{0, 0}, {255 * mb, 255 * mb}, {256 * mb, 32 * mb}, {800 * mb + 1, 100 * mb + 1}};
    for (const auto& c : cases) EXPECT_EQ(c.budget, RollingBudget(c.bytes)) << c.bytes;
}

TEST(ChecksumBook, RollingSelectionTakesTheLongestUncheckedFirstUntilTheBudget) {
    ChecksumBook book;
    book.Put(Record(L"C\\new", 100, 9));
    book.Put(Record(L"C\\old b", 100, 2));
    book.Put(Record(L"C\\old a", 100, 2));
    book.Put(Record(L"C\\middle", 100, 5));
    EXPECT_EQ((std::vector<WideString>{L"C\\old a", L"C\\old b"}), RollingSelection(book, 150));
    EXPECT_EQ((std::vector<WideString>{L"C\\old a", L"C\\old b"}), RollingSelection(book, 200));
    EXPECT_EQ(4u, RollingSelection(book, 400).size());
    EXPECT_TRUE(RollingSelection(book, 0).empty());

    // Eight runs of an eighth each read every file of a large backup.
    ChecksumBook large;
    for (int i = 0; i < 64; ++i) large.Put(Record(L"C\\f" + std::to_wstring(i), 8 << 20, 0));
    std::set<WideString> read;
    for (uint64_t run = 1; run <= 8; ++run) {
        for (const WideString& path : RollingSelection(large, RollingBudget(large.Bytes()))) {
            read.insert(path);
            ChecksumRecord record = *large.Find(path);
            record.checkedRun = run;
            large.Put(record);
        }
    }
    EXPECT_EQ(64u, read.size());
}

TEST(ChecksumBook, ListsNeedWholeClusters) {
    EXPECT_EQ(0u, ChecksumListsNeed(0, 0, 4096));
    EXPECT_EQ(4096u, ChecksumListsNeed(1, 0, 4096));
    EXPECT_EQ(ChecksumListsNeed(10, 0, 4096), ChecksumListsNeed(0, 10, 4096));
}

}  // namespace

#include "verify/checksum_book.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "text/case_text.h"
#include "verify/checksum_files.h"

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
    book.ForEachSorted([&](const ChecksumRecord& record) {
        const std::optional<ChecksumRecord> back = read.Find(record.relative);
        ASSERT_TRUE(back) << record.relative;
        EXPECT_EQ(record.relative, back->relative);
        EXPECT_EQ(record.digest, back->digest);
        EXPECT_EQ(record.size, back->size);
        EXPECT_EQ(record.lastWrite, back->lastWrite);
        EXPECT_EQ(record.checkedRun, back->checkedRun);
    });
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
    EXPECT_TRUE(read.Find(L"C\\A"));  // paths match whatever their letter case
    EXPECT_EQ(2u, read.Run());
    EXPECT_EQ(0u, BookFromLists("", "").Size());
    EXPECT_EQ(1u, BookFromLists("", "").Run());
}

TEST(ChecksumBook, PathsThatLeaveTheComputersFolderAreDropped) {
    // Lines naming another computer's backup, the version sets or the
    // stick's root, in every spelling, never reach the book.
    const WideString outside[] = {L"..\\PC02\\C\\a.txt", L"C\\..\\..\\_Versions_\\PC01\\x",
                                  L"\\brisk.exe", L"E:\\brisk.exe", L"C\\.\\a", L"C\\\\a",
                                  L"C\\a.txt:stream", L"", L"..", WideString(L"C\\a\0b.txt", 9),
                                  L"C\\a\x01.txt"};
    ChecksumBook book;
    book.Put(Record(L"C\\KORV\\kept.txt", 3, 1));
    for (const WideString& path : outside) {
        EXPECT_FALSE(IsRecordPathBelow(path)) << path;
        book.Put(Record(path, 4, 1));
    }
    const ChecksumBook read = BookFromLists(ChecksumListText(book), RunsListText(book));
    ASSERT_EQ(1u, read.Size());
    EXPECT_TRUE(read.Find(L"C\\KORV\\kept.txt"));
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
    // Seen only when the size and time are the recorded ones.
    const int64_t time = Record(L"x", 1, 1).lastWrite;
    EXPECT_FALSE(book.SeenAsRecorded(L"C\\Data2\\c", 2, time));
    EXPECT_FALSE(book.SeenAsRecorded(L"C\\Data2\\c", 1, time + 1));
    EXPECT_TRUE(book.RecordedAs(L"c\\DATA2\\c", 1, time));
    EXPECT_FALSE(book.RecordedAs(L"C\\Data2\\missing", 1, time));
    book.DropUnseenBelow({L"C\\Data", L"E\\x"},
                         [](const ChecksumRecord& record) { return record.relative == L"C\\Data\\put back"; });
    EXPECT_FALSE(book.Find(L"C\\Data\\a"));
    EXPECT_TRUE(book.Find(L"C\\Data\\put back"));
    EXPECT_TRUE(book.Find(L"C\\Data\\sub\\b"));
    EXPECT_TRUE(book.Find(L"C\\Data2\\c"));
    EXPECT_TRUE(book.Find(L"D\\Data\\d"));
    EXPECT_EQ(4u, book.Size());
    EXPECT_EQ(4u, book.Bytes());
}

// Japanese names are looked up, sorted and matched below a folder where
// they lie, without the locale; other letters go through it. Either way the
// book keeps the order and finds of the names' folded keys.
TEST(ChecksumBook, NamesOfEveryKindAreFoundSortedAndMatchedByTheirFoldedKeys) {
    const StringList paths = {
        L"C\\Data\\\u30ab\u30eb\u30c6\\\u60a3\u8005 A.dat",  L"C\\Data\\\u30ab\u30eb\u30c6\\\u60a3\u8005 b.dat",
        L"C\\Data\\\u30ab\u30eb\u30c6\\Zed.txt",               L"C\\Data\\\u30ab\u30eb\u30c62\\x",
        L"C\\Data\\\uff21\uff22.txt",                            L"C\\Data\\\u00c4rger.txt",
        L"C\\Data\\\U0001F600 smile.txt",                        L"C\\Data\\\uff5e\u301c.txt",
        L"C\\Data\\abc",                                          L"C\\Data\\ABD"};
    ChecksumBook book;
    // Enough of them that the table grows many times over.
    for (int i = 0; i < 300; ++i) book.Put(Record(L"C\\Data\\\u6f22\u5b57\\" + std::to_wstring(i) + L"\u8a18\u9332", 1, 1));
    for (const WideString& path : paths) book.Put(Record(path, 2, 1));
    for (const WideString& path : paths) {
        ASSERT_TRUE(book.Find(FoldedKey(path))) << path;
        EXPECT_EQ(path, book.Find(FoldedKey(path))->relative);
        WideString upper = path;
        for (wchar_t& c : upper) c = c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 32) : c;
        EXPECT_TRUE(book.Find(upper)) << path;
    }
    for (int i = 0; i < 300; ++i) EXPECT_TRUE(book.Find(L"c\\data\\\u6f22\u5b57\\" + std::to_wstring(i) + L"\u8a18\u9332"));
    EXPECT_FALSE(book.Find(L"C\\Data\\\u30ab\u30eb\u30c6\\\u60a3\u8005 A.da"));

    std::vector<WideString> keys;
    book.ForEachSorted([&](const ChecksumRecord& record) { keys.push_back(FoldedKey(record.relative)); });
    EXPECT_EQ(book.Size(), keys.size());
    EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));

    StringList below;
    book.ForEachUnseenBelow(L"c\\DATA\\\u30ab\u30eb\u30c6", [&](const ChecksumRecord& record) { below.push_back(record.relative); });
    EXPECT_EQ(StringList(paths.begin(), paths.begin() + 3), below);
}

TEST(ChecksumBook, RollingShareIsAnEighthOfTheFilesAndOfTheBytes) {
    const uint64_t mb = 1 << 20;
    const struct {
        uint64_t files;
        uint64_t bytes;
        RollingShare share;
    } cases[] = {{0, 0, {0, 0}}, {1, 10, {1, 2}}, {100000, 255 * mb + 1, {12500, 255 * mb / 8 + 1}},
                 {9, 800 * mb + 1, {2, 100 * mb + 1}}};
    for (const auto& c : cases) {
        const RollingShare share = RollingShareOf(c.files, c.bytes);
        EXPECT_EQ(c.share.files, share.files) << c.files;
        EXPECT_EQ(c.share.bytes, share.bytes) << c.bytes;
    }
}

TEST(ChecksumBook, RollingSelectionTakesTheLongestUncheckedFirstUntilBothShares) {
    ChecksumBook book;
    book.Put(Record(L"C\\new", 100, 9));
    book.Put(Record(L"C\\old b", 100, 2));
    book.Put(Record(L"C\\old a", 100, 2));
    book.Put(Record(L"C\\middle", 100, 5));
    EXPECT_EQ((std::vector<WideString>{L"C\\old a", L"C\\old b"}), book.OldestFirst(1, 150));
    EXPECT_EQ((std::vector<WideString>{L"C\\old a", L"C\\old b", L"C\\middle"}), book.OldestFirst(3, 250));
    // Once the bytes' share is had, the files' share takes only files that
    // keep the bytes within a quarter share more: here none.
    EXPECT_EQ((std::vector<WideString>{L"C\\old a"}), book.OldestFirst(3, 1));
    EXPECT_EQ(4u, book.OldestFirst(1, 400).size());
    EXPECT_TRUE(book.OldestFirst(0, 0).empty());
    // A small backup is not read whole: an eighth of its files, at least one.
    EXPECT_EQ((std::vector<WideString>{L"C\\old a"}), RollingSelection(book));
    // The same picks by number, in path order: a run taken in part, runs
    // taken whole, and every run when the shares ask for more than there is.
    auto pathsOf = [&](const std::vector<ChecksumBook::Number>& numbers) {
        std::vector<WideString> paths;
        for (const ChecksumBook::Number number : numbers) paths.push_back(book.PathNumbered(number));
        return paths;
    };
    EXPECT_EQ((std::vector<WideString>{L"C\\old a"}), pathsOf(book.OldestFirstNumbers(1, 100)));
    EXPECT_EQ((std::vector<WideString>{L"C\\middle", L"C\\old a", L"C\\old b"}),
              pathsOf(book.OldestFirstNumbers(3, 300)));
    EXPECT_EQ((std::vector<WideString>{L"C\\middle", L"C\\new", L"C\\old a", L"C\\old b"}),
              pathsOf(book.OldestFirstNumbers(10, 1000)));
    EXPECT_TRUE(book.OldestFirstNumbers(0, 0).empty());
    const ChecksumBook::Number oldA = book.OldestFirstNumbers(1, 1).front();
    EXPECT_TRUE(book.HoldsBytes(oldA, book.Find(L"C\\OLD A")->digest, 100));
    EXPECT_FALSE(book.HoldsBytes(oldA, book.Find(L"C\\OLD A")->digest, 99));
    Digest other = book.Find(L"C\\OLD A")->digest;
    other[31] ^= 1;
    EXPECT_FALSE(book.HoldsBytes(oldA, other, 100));

    // Many small files and one large one: eight runs read every file, and
    // no run reads them all.
    ChecksumBook many;
    for (int i = 0; i < 200; ++i) many.Put(Record(L"C\\f" + std::to_wstring(i), 100, 0));
    many.Put(Record(L"C\\large", 80000, 0));
    std::set<WideString> read;
    for (uint64_t run = 1; run <= 8; ++run) {
        const std::vector<WideString> selected = RollingSelection(many);
        EXPECT_LT(selected.size(), 201u);
        std::set<WideString> byNumber;
        for (const ChecksumBook::Number number : RollingNumbers(many)) byNumber.insert(many.PathNumbered(number));
        EXPECT_EQ(std::set<WideString>(selected.begin(), selected.end()), byNumber) << run;
        for (const WideString& path : selected) {
            read.insert(path);
            ChecksumRecord record = *many.Find(path);
            record.checkedRun = run;
            many.Put(record);
        }
    }
    EXPECT_EQ(201u, read.size());
}

// The first run reads every file; large files read together then come due
// together. Eight runs later every file was read again, and no run read
// much more than its eighth of the bytes.
// Runs the rolling check's picks from run 2 to 10 (each read marks the
// file read in that run); checks that no run reads more than one and a half
// eighths of the bytes and that runs 2 to 9 read every file.
void ExpectTheShareSpread(ChecksumBook& book, size_t fewestFiles, const char* layout) {
    const uint64_t eighth = book.Bytes() / 8;
    std::map<WideString, uint64_t> lastRead;
    for (uint64_t run = 2; run <= 10; ++run) {
        uint64_t bytes = 0;
        const std::vector<ChecksumBook::Number> picks = RollingNumbers(book);
        for (const ChecksumBook::Number number : picks) {
            ChecksumRecord record = *book.Find(book.PathNumbered(number));
            bytes += record.size;
            record.checkedRun = run;
            book.Put(record);
            lastRead[record.relative] = run;
        }
        EXPECT_GE(picks.size(), fewestFiles) << layout << ", run " << run;
        EXPECT_LE(bytes, eighth + eighth / 2) << layout << ", run " << run << " read " << bytes << " of " << book.Bytes();
    }
    EXPECT_EQ(lastRead.size(), book.Size()) << layout;
    book.ForEachSorted([&](const ChecksumRecord& record) { EXPECT_GE(record.checkedRun, 3u) << layout << record.relative; });
}

TEST(ChecksumBook, TheRollingShareIsSpreadOverTheRuns) {
    // Scans before small files in path order, all read in the first run.
    ChecksumBook scansFirst;
    for (int i = 0; i < 400; ++i) scansFirst.Put(Record(L"C\\small\\f" + std::to_wstring(1000 + i), 1000, 1));
    for (int i = 0; i < 40; ++i) scansFirst.Put(Record(L"C\\big\\scan " + std::to_wstring(10 + i), 100000, 1));
    ExpectTheShareSpread(scansFirst, 55, "scans first");
    // Small files first, none much smaller than the average: once most of
    // them have been read, the files' share could only be made up of scans.
    ChecksumBook notesFirst;
    for (int i = 0; i < 400; ++i) notesFirst.Put(Record(L"C\\a\\note " + std::to_wstring(1000 + i), 20000, 1));
    for (int i = 0; i < 40; ++i) notesFirst.Put(Record(L"C\\b\\scan " + std::to_wstring(10 + i), 500000, 1));
    ExpectTheShareSpread(notesFirst, 20, "notes first");
}

TEST(ChecksumBook, ARecordCostsLittleMemory) {
    ChecksumBook book;
    for (int i = 0; i < 10000; ++i) {
        book.Put(Record(L"C\\Users\\u\\Documents\\folder " + std::to_wstring(i % 50) + L"\\file " +
                            std::to_wstring(i) + L".txt",
                        100, 1));
    }
    // Each path once, in UTF-8, beside a fixed record and its table entries,
    // in chunks that leave little room unused (room doubled would take 170).
    EXPECT_LT(book.MemoryBytes() / book.Size(), 160u);
    EXPECT_TRUE(book.Find(L"c\\users\\U\\documents\\FOLDER 7\\file 57.TXT"));
}

TEST(ChecksumBook, ListsNeedWholeClusters) {
    EXPECT_EQ(0u, ChecksumListsNeed(0, 0, 4096));
    EXPECT_EQ(4096u, ChecksumListsNeed(1, 0, 4096));
    EXPECT_EQ(ChecksumListsNeed(10, 0, 4096), ChecksumListsNeed(0, 10, 4096));
}

}  // namespace

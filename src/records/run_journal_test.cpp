#include "records/run_journal.h"

#include <gtest/gtest.h>

namespace {

KeptEntry Entry(const WideString& path, uint8_t mark) {
    KeptEntry entry;
    entry.path = path;
    entry.digest[0] = mark;
    entry.size = 12;
    entry.lastWrite = 1234567;
    return entry;
}

// A record as a run writes it, a folder at a time, read back: what counts
// is what each folder's start put on the stick.
TEST(RunJournal, WhatARunWroteReadsBackAndOnlyStartedFoldersCount) {
    std::string text = JournalHead(7, L"2026-12-07 18:30:00", L"2026-12-07_183000");
    text += JournalFolderLine(L"C\\KORV\\Data") + JournalKeptLine(Entry(L"C\\KORV\\Data\\a.txt", 1)) +
            JournalPathLine("add", L"C\\KORV\\Data\\新しい.txt") + JournalStartLine(L"C\\KORV\\Data");
    text += JournalPathLine("back", L"C\\KORV\\Data\\a.txt") + JournalPathLine("lost", L"C\\KORV\\Data\\b.txt") +
            JournalPathLine("add", L"C\\KORV\\Data\\late.txt") + JournalCheckedLine(Entry(L"C\\KORV\\Data\\late.txt", 9)) +
            JournalDoneLine(L"C\\KORV\\Data");
    // A second folder whose entries never got their start: nothing of it moved.
    text += JournalFolderLine(L"C\\KORV\\Master") + JournalKeptLine(Entry(L"C\\KORV\\Master\\m.txt", 2));
    const RunJournal open = ReadRunJournal(text, true);
    EXPECT_TRUE(open.readable && open.whole);
    EXPECT_FALSE(open.closed);
    EXPECT_EQ(open.run, 7u);
    EXPECT_EQ(open.name, L"2026-12-07_183000");
    EXPECT_EQ(open.started, L"2026-12-07 18:30:00");
    ASSERT_EQ(open.kept.size(), 1u);
    EXPECT_EQ(open.kept[0].path, L"C\\KORV\\Data\\a.txt");
    EXPECT_EQ(open.kept[0].digest[0], 1);
    EXPECT_EQ(open.kept[0].size, 12u);
    EXPECT_EQ(open.kept[0].lastWrite, 1234567);
    EXPECT_EQ(open.added, (StringList{L"C\\KORV\\Data\\新しい.txt", L"C\\KORV\\Data\\late.txt"}));
    EXPECT_EQ(open.returned, StringList{L"C\\KORV\\Data\\a.txt"});
    EXPECT_EQ(open.lost, StringList{L"C\\KORV\\Data\\b.txt"});
    ASSERT_EQ(open.checked.size(), 1u);
    EXPECT_EQ(open.checked[0].digest[0], 9);
    EXPECT_TRUE(ReadRunJournal(text).checked.empty());

    text += JournalStartLine(L"C\\KORV\\Master") + JournalEndLine(L"incomplete", 1);
    const RunJournal closed = ReadRunJournal(text);
    EXPECT_TRUE(closed.closed);
    EXPECT_EQ(closed.result, L"incomplete");
    EXPECT_EQ(closed.exitStatus, 1);
    EXPECT_EQ(closed.kept.size(), 2u);
}

// What a stick that passed through other hands, an editor or a write cut
// short can make of a record.
TEST(RunJournal, ARecordThatIsNotWholeSaysSo) {
    const std::string head = JournalHead(3, L"2026-12-07 18:30:00", L"2026-12-07_183000");
    const std::string kept = JournalFolderLine(L"C\\x") + JournalKeptLine(Entry(L"C\\x\\a.txt", 1)) +
                             JournalStartLine(L"C\\x");
    struct Case {
        const char* what;
        std::string text;
        bool readable;
        bool whole;
        size_t kept;
    };
    const Case cases[] = {
        {"as written", head + kept, true, true, 1},
        {"a byte-order mark first", "\xEF\xBB\xBF" + head + kept, true, true, 1},
        {"CR LF line ends", "brisk run record 1\r\nrun\t3\r\n" + kept, true, true, 1},
        {"a last line cut short", head + kept + "keep\t00", true, true, 1},
        {"an entry of a later version", head + "moved-to\tsomewhere\n" + kept, true, true, 1},
        {"a kept line that does not read", head + "folder\tC/x\nkeep\tzz\t1\t2\tC/x/a\nstart\tC/x\n", true, false, 0},
        {"a path out of the computer's folder", head + "folder\tC/x\nadd\t../PC02/a.txt\nstart\tC/x\n", true, false, 0},
        {"an endless line", head + std::string(200000, 'x') + "\n" + kept, true, false, 1},
        {"another first line", "brisk run record 2\n" + head + kept, false, true, 0},
        {"a blank line first", "\n" + head + kept, false, true, 0},
        {"an endless first line", std::string(200000, 'x') + "\n" + head + kept, false, true, 0},
        {"no run number", "brisk run record 1\n" + kept, false, true, 1},
        {"nothing", "", false, true, 0},
    };
    for (const Case& c : cases) {
        const RunJournal journal = ReadRunJournal(c.text);
        EXPECT_EQ(journal.readable, c.readable) << c.what;
        EXPECT_EQ(journal.whole, c.whole) << c.what;
        EXPECT_EQ(journal.kept.size(), c.kept) << c.what;
        // Read from a file a piece at a time, the same record whatever the pieces.
        RunJournalReader reader(false);
        for (const char byte : c.text) reader.Feed(&byte, 1);
        const RunJournal pieces = reader.Finish();
        EXPECT_EQ(pieces.readable, c.readable) << c.what;
        EXPECT_EQ(pieces.whole, c.whole) << c.what;
        EXPECT_EQ(pieces.kept.size(), c.kept) << c.what;
    }
}

}  // namespace

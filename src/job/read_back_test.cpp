#include "job/read_back.h"

#include <gtest/gtest.h>

namespace {

// What the script is given to copy a wrong copy again: one file, by its
// folder pair and name; never a name some interpreter could expand.
TEST(CopyAgainArguments, OneFileByItsFoldersAndName) {
    PlannedFolder folder;
    folder.source = L"C:\\KORV\\Data";
    folder.destination = L"E:\\_Backup_\\PC01\\C\\KORV\\Data";
    const StringList arguments = CopyAgainArguments(
        folder, {L"a.txt", L"sub folder\\\u65e5\u672c.csv", L"x\\100% off.txt", L"caf\u00e9.txt", L"y\\z\\b & c.txt"},
        932);
    EXPECT_EQ(arguments,
              (StringList{L"\"C:\\KORV\\Data\" \"E:\\_Backup_\\PC01\\C\\KORV\\Data\" \"a.txt\"",
                          L"\"C:\\KORV\\Data\\sub folder\" \"E:\\_Backup_\\PC01\\C\\KORV\\Data\\sub folder\" "
                          L"\"\u65e5\u672c.csv\"",
                          L"\"C:\\KORV\\Data\\y\\z\" \"E:\\_Backup_\\PC01\\C\\KORV\\Data\\y\\z\" \"b & c.txt\""}));
    // A Western code page carries the accent and not the Japanese name.
    EXPECT_EQ(CopyAgainArguments(folder, {L"caf\u00e9.txt", L"\u65e5.csv"}, 1252).size(), 1u);
}

}  // namespace

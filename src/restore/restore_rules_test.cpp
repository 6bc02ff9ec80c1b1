#include "restore/restore_rules.h"

#include <gtest/gtest.h>

#include <deque>

#include "common/windows_headers.h"

namespace {

// The items' files stay for the whole test program, as a stick's records outlive a plan.
std::deque<StoredFile> itemFiles;

RestoreItem Item(const WideString& relative, const WideString& target, bool onStick = true, bool listed = true) {
    StoredFile& file = itemFiles.emplace_back();
    file.relative = relative;
    file.onStick = onStick;
    file.listed = listed;
    RestoreItem item;
    item.target = target;
    item.file = &file;
    return item;
}

TEST(RestoreRules, ARestoreToTheOriginalPlacesWritesOnlyBelowTheBackupsFolders) {
    const StringList places = PlacesOfFolderList(
        {L"C:\\KORV\\Data", L"", L"c:/KORV/Master/", L"C:\\", L"D:", L"\\\\srv\\s\\x", L"KORV", L"C:\\users\\Public\\Documents"});
    EXPECT_EQ(places, (StringList{L"C\\KORV\\Data", L"C\\KORV\\Master", L"C\\users\\Public\\Documents"}));
    EXPECT_EQ(PlaceHolding(L"C\\KORV\\Data\\a.txt", {L"C\\KORV", L"c\\korv\\data"}), L"c\\korv\\data");
    EXPECT_EQ(PlaceHolding(L"c\\korv\\data", places), L"C\\KORV\\Data");
    for (const wchar_t* outside : {L"C\\KORV\\Database\\a.txt", L"C\\KORV\\a.txt", L"C\\Users\\u\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup\\x.bat", L"D\\KORV\\Data\\a"}) {
        EXPECT_EQ(PlaceHolding(outside, places), L"") << outside;
    }

    EXPECT_EQ(OutcomeBeforeWriting(Item(L"C\\x\\a", L""), true, false), RestoreOutcome::OutsideFolders);
    EXPECT_EQ(OutcomeBeforeWriting(Item(L"srv\\a", L""), false, false), RestoreOutcome::NoPlace);
    EXPECT_EQ(OutcomeBeforeWriting(Item(L"D\\x\\a", L"D:\\x\\a"), false, true), RestoreOutcome::DriveMissing);
    EXPECT_EQ(OutcomeBeforeWriting(Item(L"C\\x\\a", L"C:\\x\\a", false), false, false), RestoreOutcome::Missing);
    EXPECT_EQ(OutcomeBeforeWriting(Item(L"C\\x\\a", L"C:\\x\\a", true, false), false, false), RestoreOutcome::NoLine);
    EXPECT_EQ(OutcomeBeforeWriting(Item(L"C\\x\\a", L"C:\\x\\a"), false, false), RestoreOutcome::Restored);
}

TEST(RestoreRules, WhatTheSystemSaysOfDrivesLinksAndFolders) {
    EXPECT_TRUE(DriveIsMissing(DRIVE_NO_ROOT_DIR, false));
    EXPECT_TRUE(DriveIsMissing(DRIVE_UNKNOWN, false));
    EXPECT_TRUE(DriveIsMissing(DRIVE_REMOVABLE, false));  // a card slot without its card
    EXPECT_FALSE(DriveIsMissing(DRIVE_FIXED, true));
    EXPECT_FALSE(DriveIsMissing(DRIVE_REMOTE, true));

    const uint32_t folder = FILE_ATTRIBUTE_DIRECTORY;
    const uint32_t reparse = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    EXPECT_TRUE(IsLinkEntry(reparse, IO_REPARSE_TAG_MOUNT_POINT));
    EXPECT_TRUE(IsLinkEntry(reparse, IO_REPARSE_TAG_SYMLINK));
    EXPECT_TRUE(IsLinkEntry(FILE_ATTRIBUTE_REPARSE_POINT, IO_REPARSE_TAG_SYMLINK));
    EXPECT_TRUE(IsLinkEntry(reparse, 0));           // the system gives no tag (Wine)
    EXPECT_FALSE(IsLinkEntry(reparse, 0x9000601A));  // a OneDrive placeholder
    EXPECT_FALSE(IsLinkEntry(folder, 0));
    EXPECT_FALSE(IsLinkEntry(INVALID_FILE_ATTRIBUTES, 0));

    const FileIdentity versions{true, 7, 42};
    const FileIdentity other{true, 7, 43};
    const FileIdentity elsewhere{true, 8, 42};
    const FileIdentity unknown{};
    EXPECT_TRUE(IsWithinByIdentity({other, versions}, {versions}));
    EXPECT_FALSE(IsWithinByIdentity({other, elsewhere}, {versions}));
    EXPECT_FALSE(IsWithinByIdentity({unknown}, {unknown}));
}

TEST(RestoreRules, TemporaryNamesFitTheLimitAndAreNeverTheFilesOwn) {
    EXPECT_EQ(TemporaryNameOf(L"a.txt", 1), L"a.txt.brisk-restoring");
    EXPECT_EQ(TemporaryNameOf(L"a.txt", 3), L"a.txt~3.brisk-restoring");
    const WideString longest(255, L'x');
    for (int attempt : {1, 2, 20}) {
        const WideString name = TemporaryNameOf(longest, attempt);
        EXPECT_LE(name.size(), kNameLimit) << attempt;
        EXPECT_TRUE(IsRestoreLeftover(name)) << attempt;
    }
    EXPECT_EQ(TemporaryNameOf(WideString(250, L'x'), 1), WideString(239, L'x') + L".brisk-restoring");
    // A pair of surrogates (a character beyond the basic plane) stays whole.
    const WideString pairs = WideString(238, L'x') + L"\xD840\xDC0B" + L"yy";
    EXPECT_EQ(TemporaryNameOf(pairs, 1), WideString(238, L'x') + L".brisk-restoring");
    EXPECT_TRUE(IsRestoreLeftover(L"X.TXT.Brisk-Restoring"));
    EXPECT_FALSE(IsRestoreLeftover(L"x.brisk-restoring.txt"));

    EXPECT_TRUE(TriesAgain(ERROR_SHARING_VIOLATION, 1));
    EXPECT_TRUE(TriesAgain(ERROR_LOCK_VIOLATION, kBusyAttempts - 1));
    EXPECT_FALSE(TriesAgain(ERROR_SHARING_VIOLATION, kBusyAttempts));
    EXPECT_FALSE(TriesAgain(ERROR_ACCESS_DENIED, 1));
    EXPECT_FALSE(TriesAgain(ERROR_ALREADY_EXISTS, 1));
}

TEST(RestoreRules, TheRoomIsCountedInTheTargetsClustersWithWhatReplaceWrites) {
    const std::vector<RoomItem> items = {{1, false}, {5000, true}, {0, false}};
    EXPECT_EQ(RoomNeeded(items, false, 4096), 4096u);
    // Replaced files are written too, beside the existing ones.
    EXPECT_EQ(RoomNeeded(items, true, 4096), 4096u + 8192u);
    // Another drive, other clusters.
    EXPECT_EQ(RoomNeeded(items, true, 32768), 65536u);
    EXPECT_EQ(RoomNeeded({}, true, 4096), 0u);
}

TEST(RestoreRules, TheVerdictSaysCompleteOnlyWhenNothingWasLeftOut) {
    RestoreTally tally;
    CountRestored(&tally, RestoreOutcome::Restored, 100);
    CountRestored(&tally, RestoreOutcome::AlreadyThere, 50);
    EXPECT_EQ(tally.restored, 1u);
    EXPECT_EQ(tally.restoredBytes, 100u);
    EXPECT_EQ(tally.alreadyThere, 1u);
    EXPECT_EQ(RestoreExitStatus(tally), 0);
    EXPECT_EQ(RestoreVerdictLine(tally, L"D:\\x", 3), L"Restore complete: 1 file (0.1 MB) into D:\\x, 1 already there, in 3 s");

    RestoreTally folderNotMade = tally;
    ++folderNotMade.foldersNotMade;
    EXPECT_EQ(RestoreExitStatus(folderNotMade), 1);
    EXPECT_EQ(RestoreVerdictLine(folderNotMade, L"D:\\x", 3),
              L"Restore INCOMPLETE: 1 file (0.1 MB) into D:\\x, 1 not restored, 1 already there, in 3 s");
    for (RestoreOutcome outcome : {RestoreOutcome::KeptExisting, RestoreOutcome::Damaged, RestoreOutcome::NoLine,
                                   RestoreOutcome::Missing, RestoreOutcome::NoPlace, RestoreOutcome::OutsideFolders,
                                   RestoreOutcome::DriveMissing, RestoreOutcome::Failed}) {
        RestoreTally one = tally;
        CountRestored(&one, outcome, 10);
        EXPECT_EQ(one.notRestored, 1u) << static_cast<int>(outcome);
        EXPECT_EQ(RestoreExitStatus(one), 1) << static_cast<int>(outcome);
    }
}

TEST(RestoreRules, CheckNamesEveryFileThatDoesNotMatchAsDamaged) {
    CheckTally tally;
    CountChecked(&tally, RestoreOutcome::Restored, 10);
    EXPECT_EQ(CheckExitStatus(tally), 0);
    EXPECT_EQ(CheckVerdictLine(tally, L"E:"), L"Checked 1 file (0.1 MB) on E:: all match");
    const struct {
        RestoreOutcome outcome;
        const wchar_t* line;
    } damaged[] = {
        {RestoreOutcome::Damaged, L"DAMAGED: E:\\a (its bytes do not match its checksum)"},
        {RestoreOutcome::NoLine, L"DAMAGED: E:\\a (it has no checksum line, so its bytes cannot be checked)"},
        {RestoreOutcome::Missing, L"DAMAGED: E:\\a (its checksum list names it, but it is gone)"},
        {RestoreOutcome::Failed, L"DAMAGED: E:\\a (it cannot be read: Access is denied.)"},
    };
    for (const auto& one : damaged) {
        CheckTally bad = tally;
        CountChecked(&bad, one.outcome, 5);
        EXPECT_EQ(bad.files, 2u);
        EXPECT_EQ(bad.bytes, 15u);
        EXPECT_EQ(CheckExitStatus(bad), 1) << one.line;
        EXPECT_EQ(CheckVerdictLine(bad, L"E:"), L"Checked 2 files (0.1 MB) on E:: 1 damaged");
        EXPECT_EQ(CheckedFileLine(one.outcome, L"E:\\a", L"Access is denied."), one.line);
    }
    EXPECT_EQ(CheckedFileLine(RestoreOutcome::Restored, L"E:\\a", L""), L"");
}

TEST(RestoreRules, LinesNameWhatWasNotRestoredAndWhereTheUsersFileIs) {
    RestoreResult failed{RestoreOutcome::Failed, L"Access is denied.", L""};
    EXPECT_EQ(NotRestoredLine(failed, L"D:\\a.txt", L"PC01"), L"Not restored: D:\\a.txt: Access is denied.");
    failed.keptAs = L"D:\\a (before restore S).txt";
    EXPECT_EQ(NotRestoredLine(failed, L"D:\\a.txt", L"PC01"),
              L"Not restored: D:\\a.txt: Access is denied.; the existing file is now D:\\a (before restore S).txt");
    const WideString outside = NotRestoredLine({RestoreOutcome::OutsideFolders, L"", L""}, L"C:\\x\\a.bat", L"PC01");
    EXPECT_EQ(outside.find(L"Not restored: C:\\x\\a.bat (it lies below none of the folders the backup of PC01"), 0u) << outside;
    EXPECT_NE(outside.find(L"/to:"), WideString::npos) << outside;
    EXPECT_EQ(NotRestoredLine({RestoreOutcome::AlreadyThere, L"", L""}, L"D:\\a", L"PC01"), L"");
    EXPECT_EQ(MissingDriveLine(L"D:\\Data", 12, false),
              L"Not restored: D:\\Data (12 files): there is no drive D: on this computer; to restore it into another "
              L"folder, add /only:D:\\Data /to:<folder>");
    EXPECT_EQ(MissingDriveLine(L"D:\\Data", 1, true).find(L"Would not restore D:\\Data (1 file): there is no drive D:"), 0u);
    for (RestoreOutcome outcome : {RestoreOutcome::NoLine, RestoreOutcome::Missing, RestoreOutcome::NoPlace,
                                   RestoreOutcome::OutsideFolders}) {
        EXPECT_NE(ReasonNotTried(outcome, L"PC01"), L"") << static_cast<int>(outcome);
    }
    EXPECT_EQ(ReasonNotTried(RestoreOutcome::Restored, L"PC01"), L"");
}

}  // namespace

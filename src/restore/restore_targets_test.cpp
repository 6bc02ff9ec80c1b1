#include "restore/restore_targets.h"

#include <gtest/gtest.h>

#include <sstream>

#include "common/windows_headers.h"
#include "config/directory_ops.h"
#include "restore/restore_run.h"
#include "points/stick_records.h"
#include "restore/stick_tasks.h"
#include "restore/target_checks.h"
#include "test_support.h"
#include "text/path_text.h"
#include "text/console_output.h"
#include "verify/checksum_book.h"
#include "verify/checksum_files.h"
#include "verify/file_digest.h"

namespace {

// Collects what is printed while the object lives.
class OutputCapture {
public:
    WideString Text() const { return captured_.Text(); }

private:
    ConsoleCapture captured_{ConsoleCapture::Stream::Output};
};

// The items' files stay for the whole test program, as a stick's records outlive a plan.
std::deque<StoredFile> itemFiles;

RestoreItem Item(const WideString& relative, const WideString& target, uint64_t size = 10) {
    StoredFile& file = itemFiles.emplace_back();
    file.relative = relative;
    file.onStick = true;
    file.listed = true;
    file.size = size;
    RestoreItem item;
    item.target = target;
    item.file = &file;
    return item;
}

// Targets whose room and writability the test gives.
struct FedTargets {
    RestoreTargets targets;
    uint64_t freeBytes = uint64_t{1} << 30;
    uint64_t clusterBytes = 4096;
    WideString writeProblem;
    StringList asked;  // the folders whose room was read

    FedTargets() {
        targets.readRoom = [this](const WideString& folder, BackupPlan* room, WideString*) {
            asked.push_back(folder);
            room->freeBytes = freeBytes;
            room->clusterBytes = clusterBytes;
            return true;
        };
        targets.writeProblem = [this](const WideString&) { return writeProblem; };
    }
};

// A drive letter this computer does not have.
WideString AbsentDrive() {
    const DWORD drives = GetLogicalDrives();
    for (wchar_t letter = L'Q'; letter <= L'Y'; ++letter) {
        if ((drives & (1u << (letter - L'A'))) == 0) return WideString(1, letter) + L":";
    }
    return WideString();
}

TEST(PrepareRestore, NothingIsWrittenWhereTheTargetCannotBeWrittenOrHasNoRoom) {
    ScopedTempFolder temp;
    FedTargets fed;
    fed.targets.root = temp.Join(L"out");
    RestorePlan plan;
    plan.items = {Item(L"C\\a.txt", temp.Join(L"out\\C\\a.txt")), Item(L"C\\b.txt", temp.Join(L"out\\C\\b.txt"))};
    EXPECT_EQ(PrepareRestore(plan, fed.targets, false, true).refusal, L"");

    fed.writeProblem = L"Access is denied.";
    EXPECT_EQ(PrepareRestore(plan, fed.targets, false, true).refusal,
              L"Can't restore into " + temp.Join(L"out") + L": Access is denied.; nothing was written.");
    // /list writes nothing, so it does not ask.
    EXPECT_EQ(PrepareRestore(plan, fed.targets, false, false).refusal, L"");
    fed.writeProblem.clear();

    // Two files of 10 bytes: two clusters of the target's drive.
    fed.freeBytes = 8192;
    EXPECT_EQ(PrepareRestore(plan, fed.targets, false, true).refusal, L"");
    fed.clusterBytes = 8192;
    const WideString refusal = PrepareRestore(plan, fed.targets, false, true).refusal;
    EXPECT_EQ(refusal.find(L"Can't restore into " + temp.Join(L"out") + L": the files need "), 0u) << refusal;
    EXPECT_NE(refusal.find(L"more than C: has free; nothing was written."), WideString::npos) << refusal;
    EXPECT_EQ(fed.asked.back(), temp.Path());  // asked of the folder that is there
    EXPECT_EQ(GetFileAttributesW(temp.Join(L"out").c_str()), INVALID_FILE_ATTRIBUTES);

    // A file there already is written only with /replace, and then needs its room too.
    fed.clusterBytes = 4096;
    fed.freeBytes = 4096;
    CreateDirectoryTree(temp.Join(L"out\\C"));
    WriteFileBytes(temp.Join(L"out\\C\\b.txt"), "other bytes");
    EXPECT_EQ(PrepareRestore(plan, fed.targets, false, true).refusal, L"");
    EXPECT_NE(PrepareRestore(plan, fed.targets, true, true).refusal, L"");
}

TEST(PrepareRestore, TheOriginalPlacesAreOnlyTheBackupsFoldersAndAMissingDriveIsNamedWithTheWayOut) {
    ScopedTempFolder temp;
    const WideString absent = AbsentDrive();
    ASSERT_FALSE(absent.empty());
    FedTargets fed;
    fed.targets.original = true;
    fed.targets.computer = L"PC01";
    const WideString data = temp.Join(L"Data");
    fed.targets.places = PlacesOfFolderList({data, absent + L"\\Data"});
    ASSERT_EQ(fed.targets.places.size(), 2u);
    const WideString dataPlace = PlaceOfOriginal(data);
    const WideString absentPlace = absent.substr(0, 1) + L"\\Data";
    RestorePlan plan;
    plan.items = {Item(dataPlace + L"\\a.txt", data + L"\\a.txt"),
                  Item(L"C\\Users\\u\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup\\x.bat", L""),
                  Item(absentPlace + L"\\b.txt", absent + L"\\Data\\b.txt"),
                  Item(absentPlace + L"\\c.txt", absent + L"\\Data\\c.txt")};
    CreateDirectoryTree(data);
    WriteFileBytes(data + L"\\x.txt.brisk-restoring", "left");
    const PreparedRestore prepared = PrepareRestore(plan, fed.targets, false, true);
    EXPECT_EQ(prepared.refusal, L"");
    ASSERT_EQ(prepared.items.size(), 4u);
    EXPECT_EQ(prepared.items[0].before, RestoreOutcome::Restored);
    EXPECT_EQ(prepared.items[1].before, RestoreOutcome::OutsideFolders);
    EXPECT_EQ(prepared.items[2].before, RestoreOutcome::DriveMissing);
    EXPECT_EQ(prepared.items[3].before, RestoreOutcome::DriveMissing);
    ASSERT_EQ(prepared.missingDrives.size(), 1u);
    EXPECT_EQ(prepared.missingDrives[0].first, absent + L"\\Data");
    EXPECT_EQ(prepared.missingDrives[0].second, 2u);
    EXPECT_EQ(prepared.leftovers, StringList{data + L"\\x.txt.brisk-restoring"});
    EXPECT_EQ(ReadFileBytes(data + L"\\x.txt.brisk-restoring"), "left");
}

TEST(PrepareRestore, TheSticksOwnFoldersAreKnownByWhatTheyAreNotByTheirSpelling) {
    ScopedTempFolder temp;
    const WideString versions = temp.Join(L"_Versions_");
    CreateDirectoryTree(versions + L"\\PC01");
    CreateDirectoryTree(temp.Join(L"Restored"));
    const std::vector<FileIdentity> stick = {IdentityOf(versions)};
    ASSERT_TRUE(stick[0].known);
    EXPECT_TRUE(IsInStickFolders(versions + L"\\PC01", L"Q:", stick));
    EXPECT_FALSE(IsInStickFolders(temp.Join(L"Restored\\x"), L"Q:", stick));
    EXPECT_TRUE(IsInStickFolders(L"Q:\\_versions_\\x", L"Q:", stick));
    wchar_t shortForm[MAX_PATH] = {};
    ASSERT_NE(GetShortPathNameW(versions.c_str(), shortForm, MAX_PATH), 0u);
    const WideString alias = shortForm;
    if (FileNamePart(alias) == L"_Versions_") GTEST_SKIP() << "the volume makes no short names";
    EXPECT_TRUE(IsInStickFolders(alias + L"\\x\\y", L"Q:", stick));
    EXPECT_TRUE(IsInStickFolders(alias, L"Q:", stick));
}

// One computer's backup on a "stick" in a scratch folder.
struct ScratchStick {
    ScopedTempFolder temp;
    StickPlace place;
    std::string list;

    ScratchStick() {
        place.drive = temp.Path().substr(0, 2);
        place.computer = L"PC01";
        place.computerFolder = temp.Join(L"_Backup_\\PC01");
        place.versionsFolder = temp.Join(L"_Versions_\\PC01");
        CreateDirectoryTree(place.computerFolder);
    }
    void File(const WideString& relative, const std::string& bytes, bool listed = true, bool there = true) {
        if (there) {
            CreateDirectoryTree(ParentPath(JoinPath(place.computerFolder, relative)));
            WriteFileBytes(JoinPath(place.computerFolder, relative), bytes);
        }
        if (listed) list += ChecksumLine(DigestOfBytes(bytes.data(), bytes.size()), relative) + "\n";
        WriteFileBytes(ChecksumListOf(place.computerFolder), list);
    }
};

TEST(CheckStick, NamesEveryFileThatIsDamagedGoneOrWithoutALineAndExitsOne) {
    ScratchStick stick;
    stick.File(L"C\\good.txt", "good");
    stick.File(L"C\\bad.txt", "recorded");
    WriteFileBytes(stick.place.computerFolder + L"\\C\\bad.txt", "decayed!");
    stick.File(L"C\\unlisted.txt", "x", false);
    stick.File(L"C\\gone.txt", "gone", true, false);
    OutputCapture output;
    EXPECT_EQ(CheckStick(stick.place), 1);
    const WideString said = output.Text();
    const WideString folder = stick.place.computerFolder;
    EXPECT_NE(said.find(L"DAMAGED: " + folder + L"\\C\\bad.txt (its bytes do not match its checksum)"), WideString::npos) << said;
    EXPECT_NE(said.find(L"DAMAGED: " + folder + L"\\C\\unlisted.txt (it has no checksum line"), WideString::npos) << said;
    EXPECT_NE(said.find(L"DAMAGED: " + folder + L"\\C\\gone.txt (its checksum list names it, but it is gone)"), WideString::npos)
        << said;
    EXPECT_EQ(said.find(L"good.txt"), WideString::npos) << said;
    EXPECT_EQ(said.find(L"Not restored"), WideString::npos) << said;
    EXPECT_NE(said.find(L"Checked 4 files (0.1 MB) on " + stick.place.drive + L": 3 damaged"), WideString::npos) << said;

    ScratchStick sound;
    sound.File(L"C\\good.txt", "good");
    EXPECT_EQ(CheckStick(sound.place), 0);
}

TEST(RestorePrepared, AnEmptyFolderThatCannotBeMadeKeepsTheRestoreFromComplete) {
    ScratchStick stick;
    stick.File(L"C\\KORV\\a.txt", "restored bytes");
    CreateDirectoryTree(stick.place.computerFolder + L"\\C\\KORV\\empty");
    const StickRecords records = ReadStickRecords(stick.place.computerFolder, stick.place.versionsFolder);
    std::vector<RestorePoint> points(1);
    points[0].complete = true;
    for (const wchar_t* name : {L"made", L"blocked"}) {
        FedTargets fed;
        fed.targets.root = stick.temp.Join(name);
        const RestorePlan plan = PlanRestore(records, points, 0, L"", [&](const WideString& relative) {
            return JoinPath(fed.targets.root, relative);
        });
        ASSERT_EQ(plan.emptyFolders.size(), 1u);
        const bool blocked = WideString(name) == L"blocked";
        // A file where the empty folder goes: the folder cannot be made.
        if (blocked) {
            CreateDirectoryTree(fed.targets.root + L"\\C\\KORV");
            WriteFileBytes(fed.targets.root + L"\\C\\KORV\\empty", "a file");
        }
        const PreparedRestore prepared = PrepareRestore(plan, fed.targets, false, true);
        ASSERT_EQ(prepared.refusal, L"");
        OutputCapture output;
        EXPECT_EQ(RestorePrepared(stick.place, records, plan, prepared, false, fed.targets, fed.targets.root), blocked ? 1 : 0);
        EXPECT_EQ(ReadFileBytes(fed.targets.root + L"\\C\\KORV\\a.txt"), "restored bytes");
        const WideString said = output.Text();
        EXPECT_NE(said.find(blocked ? L"Restore INCOMPLETE: 1 file" : L"Restore complete: 1 file"), WideString::npos) << said;
        EXPECT_EQ(DirectoryExists(fed.targets.root + L"\\C\\KORV\\empty"), !blocked);
    }
}

}  // namespace

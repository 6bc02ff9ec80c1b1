#include "points/restore_plan.h"

#include <gtest/gtest.h>

#include <map>

#include "points/stick_records.h"
#include "text/path_text.h"

namespace {

StoredFile Stored(const WideString& relative, uint8_t mark, uint64_t size = 10) {
    StoredFile file;
    file.relative = relative;
    file.onStick = true;
    file.listed = true;
    file.size = size;
    file.digest[0] = mark;
    return file;
}

// Three runs: the first backs up a.txt (v1) and c.txt; the second saves
// a.txt over (v2), deletes c.txt and adds b.txt; the third saves a.txt over
// again (v3) and adds New.txt.
StickRecords ThreeRuns() {
    StickRecords stick;
    stick.history = {{L"2026-12-01_090000", true}, {L"2026-12-02_090000", true}, {L"2026-12-03_090000", true}};
    RunRecords second;
    second.name = L"2026-12-02_090001";  // a second later: its first name was taken
    second.hasSet = true;
    second.kept = {Stored(L"C\\KORV\\a.txt", 1), Stored(L"C\\KORV\\c.txt", 7)};
    second.hasAdded = true;
    second.added = {L"C\\KORV\\b.txt"};
    RunRecords third;
    third.name = L"2026-12-03_090000";
    third.hasSet = true;
    third.kept = {Stored(L"C\\KORV\\A.TXT", 2)};
    third.hasAdded = true;
    third.added = {L"C\\KORV\\New.txt"};
    stick.records = {second, third};
    stick.backup = {Stored(L"C\\KORV\\a.txt", 3), Stored(L"C\\KORV\\b.txt", 4), Stored(L"C\\KORV\\New.txt", 5),
                    Stored(L"D\\other.txt", 6)};
    return stick;
}

// Each restored path with the digest mark of its bytes and where they come from.
std::map<WideString, std::pair<int, int>> Restored(const StickRecords& stick, int point, const WideString& only = L"") {
    std::map<WideString, std::pair<int, int>> restored;
    // Planned as a restore plans it: what no later run added is let go first.
    const std::vector<RestorePoint> points = RestorePoints(stick);
    StickRecords forgotten = stick;
    ForgetAddedBefore(&forgotten, points, point);
    const RestorePlan plan = PlanRestore(forgotten, points, point, only,
                                         [](const WideString& relative) { return L"T:\\x\\" + relative; });
    for (const RestoreItem& item : plan.items) {
        EXPECT_EQ(item.target, L"T:\\x\\" + item.file->relative);
        restored[item.file->relative] = {item.file->digest[0], item.fromRecords};
    }
    return restored;
}

TEST(RestorePlan, EachPointIsRebuiltFromTheBackupAndTheLaterRunsRecords) {
    const StickRecords stick = ThreeRuns();
    const std::vector<RestorePoint> points = RestorePoints(stick);
    ASSERT_EQ(points.size(), 3u);
    // The second run's records belong to it although named a second later.
    EXPECT_EQ(points[1].records, 0);
    EXPECT_EQ(points[2].records, 1);
    EXPECT_EQ(points[1].added, 1u);
    EXPECT_EQ(points[1].replaced, 1u);
    EXPECT_EQ(points[1].removed, 1u);
    EXPECT_EQ(points[2].added, 1u);
    EXPECT_EQ(points[2].replaced, 1u);
    EXPECT_EQ(points[2].removed, 0u);
    for (const RestorePoint& point : points) EXPECT_TRUE(point.complete) << point.name;
    StickRecords forgotten = stick;
    ForgetAddedBefore(&forgotten, points, 1);
    EXPECT_TRUE(forgotten.records[0].added.empty());
    EXPECT_EQ(forgotten.records[1].added, StringList{L"C\\KORV\\New.txt"});

    using Source = std::map<WideString, std::pair<int, int>>;
    EXPECT_EQ(Restored(stick, 0), (Source{{L"C\\KORV\\a.txt", {1, 0}}, {L"C\\KORV\\c.txt", {7, 0}},
                                          {L"D\\other.txt", {6, -1}}}));
    EXPECT_EQ(Restored(stick, 1), (Source{{L"C\\KORV\\A.TXT", {2, 1}}, {L"C\\KORV\\b.txt", {4, -1}},
                                          {L"D\\other.txt", {6, -1}}}));
    EXPECT_EQ(Restored(stick, 2), (Source{{L"C\\KORV\\a.txt", {3, -1}}, {L"C\\KORV\\b.txt", {4, -1}},
                                          {L"C\\KORV\\New.txt", {5, -1}}, {L"D\\other.txt", {6, -1}}}));
    // One folder or one file, whatever its letter case.
    EXPECT_EQ(Restored(stick, 0, L"c\\korv"), (Source{{L"C\\KORV\\a.txt", {1, 0}}, {L"C\\KORV\\c.txt", {7, 0}}}));
    EXPECT_EQ(Restored(stick, 2, L"C\\KORV\\new.txt"), (Source{{L"C\\KORV\\New.txt", {5, -1}}}));
    EXPECT_TRUE(Restored(stick, 2, L"C\\KOR").empty());
}

TEST(RestorePlan, EmptyFoldersComeBackWithTheFolderAskedFor) {
    StickRecords stick = ThreeRuns();
    stick.emptyFolders = {L"C\\KORV\\empty", L"D\\x"};
    const auto target = [](const WideString& relative) { return L"T:\\" + relative; };
    EXPECT_EQ(PlanRestore(stick, RestorePoints(stick), 0, L"C\\KORV", target).emptyFolders,
              StringList{L"T:\\C\\KORV\\empty"});
    EXPECT_EQ(PlanRestore(stick, RestorePoints(stick), 2, L"", target).emptyFolders.size(), 2u);
}

TEST(RestorePlan, APointIsCompleteOnlyWhileEveryLaterChangeIsRecorded) {
    // The second run's set was removed for room: before it cannot be rebuilt.
    StickRecords pruned = ThreeRuns();
    pruned.records.erase(pruned.records.begin());
    std::vector<RestorePoint> points = RestorePoints(pruned);
    EXPECT_FALSE(points[0].complete);
    EXPECT_TRUE(points[1].complete);
    EXPECT_EQ(EarliestCompletePoint(points), 1);

    // A set left by a run that recorded no additions says nothing of them.
    StickRecords unrecorded = ThreeRuns();
    unrecorded.records[0].hasAdded = false;
    unrecorded.records[0].added.clear();
    EXPECT_EQ(EarliestCompletePoint(RestorePoints(unrecorded)), 1);

    // A run that changed nothing needs no records.
    StickRecords quiet = ThreeRuns();
    quiet.history.insert(quiet.history.begin() + 1, {L"2026-12-01_120000", false});
    points = RestorePoints(quiet);
    ASSERT_EQ(points.size(), 4u);
    EXPECT_EQ(points[1].records, -1);
    EXPECT_EQ(EarliestCompletePoint(points), 0);
    // A record older than the history kept (its oldest lines dropped) is a
    // point of its own.
    StickRecords trimmed = ThreeRuns();
    trimmed.history.erase(trimmed.history.begin(), trimmed.history.begin() + 2);
    points = RestorePoints(trimmed);
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0].name, L"2026-12-02_090001");
    EXPECT_EQ(points[1].records, 1);
    EXPECT_EQ(EarliestCompletePoint(points), 0);
}

TEST(RestorePlan, PointsTimesAndPlaces) {
    EXPECT_EQ(PointLimitOf(L"2026-12-07"), L"2026-12-07_235959");
    EXPECT_EQ(PointLimitOf(L"2026-12-07_183000"), L"2026-12-07_183000");
    EXPECT_EQ(PointLimitOf(L"2026-12-07 18:30:02"), L"2026-12-07_183002");
    EXPECT_EQ(PointLimitOf(L"2026-12-07T18:30:02"), L"2026-12-07_183002");
    for (const wchar_t* bad : {L"7.12.2026", L"2026-12-07_1830", L"", L"2026-12-07 183000", L"2026-12-07 18:30"}) {
        EXPECT_EQ(PointLimitOf(bad), L"") << bad;
    }
    // Only days and times that exist.
    for (const wchar_t* unreal : {L"2026-12-32", L"2026-21-07", L"2026-02-30", L"2026-02-29", L"2100-02-29", L"2026-00-10",
                                  L"2026-04-31", L"0000-01-01", L"2026-12-07_240000", L"2026-12-07_186000",
                                  L"2026-12-07 18:30:60", L"2026-12-00T10:00:00"}) {
        EXPECT_EQ(PointLimitOf(unreal), L"") << unreal;
    }
    EXPECT_EQ(PointLimitOf(L"2028-02-29"), L"2028-02-29_235959");
    EXPECT_EQ(PointLimitOf(L"2000-02-29_000000"), L"2000-02-29_000000");
    EXPECT_EQ(PointLimitOf(L"2026-12-31 23:59:59"), L"2026-12-31_235959");
    const std::vector<RestorePoint> points = RestorePoints(ThreeRuns());
    EXPECT_EQ(ChoosePoint(points, L"2026-12-02_235959"), 1);
    EXPECT_EQ(ChoosePoint(points, L"2026-12-02_090000"), 1);
    EXPECT_EQ(ChoosePoint(points, L"2026-12-01_085959"), -1);
    EXPECT_EQ(PointText(L"2026-12-07_183002"), L"2026-12-07 18:30:02");

    EXPECT_EQ(PlaceOfOriginal(L"C:\\KORV\\Data"), L"C\\KORV\\Data");
    EXPECT_EQ(PlaceOfOriginal(L"c:\\KORV\\Data\\"), L"C\\KORV\\Data");
    EXPECT_EQ(PlaceOfOriginal(L"C:\\"), L"C");
    for (const wchar_t* bad : {L"KORV\\Data", L"\\\\srv\\s\\x", L"C:\\a\\..\\b", L"C:KORV", L"C:\\a\\\\b"}) {
        EXPECT_EQ(PlaceOfOriginal(bad), L"") << bad;
    }
    EXPECT_EQ(OriginalOfPlace(L"C\\KORV\\a.txt"), L"C:\\KORV\\a.txt");
    EXPECT_EQ(OriginalOfPlace(L"srv\\share\\a"), L"");
    // A top folder named with another alphabet's letter is no drive.
    for (const wchar_t* letter : {L"\u00C4", L"\uFF23", L"\u00E9", L"1"}) {
        EXPECT_EQ(OriginalOfPlace(WideString(letter) + L"\\a.txt"), L"") << letter;
        EXPECT_EQ(PlaceOfOriginal(WideString(letter) + L":\\a"), L"") << letter;
    }
    EXPECT_EQ(OriginalOfPlace(L"z\\a.txt"), L"z:\\a.txt");

    EXPECT_EQ(BeforeRestoreName(L"D:\\x\\sheet.xls", L"2026-12-08_091500"),
              L"D:\\x\\sheet (before restore 2026-12-08_091500).xls");
    EXPECT_EQ(BeforeRestoreName(L"D:\\x.d\\notes", L"S"), L"D:\\x.d\\notes (before restore S)");
    EXPECT_EQ(BeforeRestoreName(L"D:\\x\\.profile", L"S"), L"D:\\x\\.profile (before restore S)");
    // A long name keeps its extension and fits the limit.
    const WideString kept = BeforeRestoreName(L"D:\\x\\" + WideString(250, L'n') + L".xls", L"2026-12-08_091500");
    EXPECT_EQ(FileNamePart(kept).size(), kNameLimit);
    EXPECT_EQ(kept.substr(kept.size() - 39), L" (before restore 2026-12-08_091500).xls");
    EXPECT_EQ(FileNamePart(BeforeRestoreName(L"D:\\" + WideString(255, L'n'), L"S")).size(), kNameLimit);
}

TEST(RestorePlan, HistoryLinesNameTheirRunsAndWhetherTheyChangedTheBackup) {
    HistoryRun run;
    ASSERT_TRUE(HistoryRunOfLine(L"2026-12-07 18:30:02\tcomplete\t0\t11\t3204\t12897484\t2\t0\t41", &run));
    EXPECT_EQ(run.name, L"2026-12-07_183002");
    EXPECT_TRUE(run.changed);
    ASSERT_TRUE(HistoryRunOfLine(L"2026-12-08 09:00:00\tcomplete\t0\t11\t3204\t0\t0\t0\t3", &run));
    EXPECT_FALSE(run.changed);
    ASSERT_TRUE(HistoryRunOfLine(L"2026-12-08 09:00:00\tcomplete\t0\t11\t3204\t0\t1\t0\t3", &run));
    EXPECT_TRUE(run.changed);
    for (const wchar_t* bad : {L"", L"2026-12-07\tcomplete", L"2026-12-07 18:30\tcomplete\t0\t1\t1\t0\t0\t0\t1",
                               L"2026-12-07 18:30:02\tcomplete\t0\t11\t3204\tx\t2\t0\t41"}) {
        EXPECT_FALSE(HistoryRunOfLine(bad, &run)) << bad;
    }
}

}  // namespace

#include "points/restore_plan.h"

#include <gtest/gtest.h>

#include "points/stick_records.h"

namespace {

StoredFile Stored(const WideString& relative, uint8_t mark, bool onStick = true) {
    StoredFile file;
    file.relative = relative;
    file.onStick = onStick;
    file.listed = true;
    file.size = 10;
    file.digest[0] = mark;
    return file;
}

RunRecords Recorded(uint64_t run, const WideString& name) {
    RunRecords records;
    records.name = name;
    records.recorded = true;
    records.run = run;
    records.whole = records.finished = records.hasAdded = true;
    return records;
}

// Runs 1 to 3, each with a record: the first adds a.txt (v1) and c.txt, the
// second saves a.txt over (keeping v1) and deletes c.txt, the third saves
// a.txt over again (keeping v2) and loses b.txt (saved while it was copied).
// Their clock went back an hour before the second: their names say nothing
// of their order.
StickRecords RecordedRuns() {
    StickRecords stick;
    RunRecords first = Recorded(1, L"2026-12-07_100000");
    first.added = {L"C\\a.txt", L"C\\c.txt", L"C\\b.txt"};
    RunRecords second = Recorded(2, L"2026-12-07_090500");
    second.hasSet = true;
    second.kept = {Stored(L"C\\a.txt", 1), Stored(L"C\\c.txt", 7)};
    RunRecords third = Recorded(3, L"2026-12-07_093000");
    third.hasSet = true;
    third.kept = {Stored(L"C\\a.txt", 2)};
    third.lost = {L"C\\b.txt"};
    stick.records = {third, first, second};  // by name, as the stick lists them
    stick.backup = {Stored(L"C\\a.txt", 3), Stored(L"C\\b.txt", 4)};
    stick.listsRun = 3;
    // A history that misses lines, or has them in the clock's order, changes nothing.
    stick.history = {{L"2026-12-07_093000", true}};
    return stick;
}

WideString Names(const std::vector<RestorePoint>& points) {
    WideString names;
    for (const RestorePoint& point : points) names += point.name.substr(11) + (point.complete ? L" " : L"x ");
    return names;
}

TEST(RestorePoints, TheRunsRecordsOrderThePointsAndSayWhetherEachIsWhole) {
    StickRecords stick = RecordedRuns();
    EXPECT_EQ(Names(RestorePoints(stick)), L"100000 090500 093000 ");
    EXPECT_EQ(ChoosePoint(RestorePoints(stick), L"2026-12-07_100000"), 0);  // its own name, though later by the clock
    EXPECT_EQ(ChoosePoint(RestorePoints(stick), L"2026-12-07_235959"), 2);

    // Each rebuilt point: what the later runs kept, without what they added,
    // and the file a later run lost named, not given its new bytes.
    const auto plan = [&](int point) {
        std::map<WideString, int> files;
        for (const RestoreItem& item : PlanRestore(stick, RestorePoints(stick), point, L"", [](const WideString& r) { return r; }).items) {
            files[item.file->relative] = item.file->lost ? -1 : item.file->digest[0];
        }
        return files;
    };
    EXPECT_EQ(plan(0), (std::map<WideString, int>{{L"C\\a.txt", 1}, {L"C\\b.txt", -1}, {L"C\\c.txt", 7}}));
    EXPECT_EQ(plan(1), (std::map<WideString, int>{{L"C\\a.txt", 2}, {L"C\\b.txt", -1}}));
    EXPECT_EQ(plan(2), (std::map<WideString, int>{{L"C\\a.txt", 3}, {L"C\\b.txt", 4}}));

    struct Case {
        const char* what;
        void (*spoil)(StickRecords*);
        const wchar_t* points;
        RestorePoint::Doubt doubt;
    };
    const Case cases[] = {
        {"the second set deleted by hand", [](StickRecords* s) { s->records[2].kept[0].onStick = false; },
         L"100000x 090500 093000 ", RestorePoint::Doubt::VersionsGone},
        {"a kept file never moved (the run ended first): the later state has its bytes",
         [](StickRecords* s) {
             s->records[0].kept[0].onStick = false;
             s->records[0].kept[0].digest[0] = 3;
             s->records[0].finished = false;
         },
         L"100000 090500 093000 ", RestorePoint::Doubt::None},
        {"the second record gone", [](StickRecords* s) { s->records.erase(s->records.begin() + 2); },
         L"100000x 093000 ", RestorePoint::Doubt::RecordGone},
        {"the first record gone: the points from the second on need none of it",
         [](StickRecords* s) { s->records.erase(s->records.begin() + 1); }, L"090500 093000 ",
         RestorePoint::Doubt::None},
        {"the newest record gone, the lists hold it", [](StickRecords* s) { s->listsRun = 4; },
         L"100000x 090500x 093000 ", RestorePoint::Doubt::RecordGone},
        {"the third record not whole", [](StickRecords* s) { s->records[0].whole = false; },
         L"100000x 090500x 093000 ", RestorePoint::Doubt::RecordNotWhole},
        {"a record without a number", [](StickRecords* s) { s->records.push_back(Recorded(0, L"2026-12-08_000000")); },
         L"100000x 090500x 093000 ", RestorePoint::Doubt::RecordNotWhole},
    };
    for (const Case& c : cases) {
        StickRecords spoilt = RecordedRuns();
        c.spoil(&spoilt);
        const std::vector<RestorePoint> points = RestorePoints(spoilt);
        EXPECT_EQ(Names(points), c.points) << c.what;
        EXPECT_EQ(points.front().doubt, c.doubt) << c.what;
    }
}

// A run from before the records: its points come from the history and its
// set, and are offered only while every later run left a whole record.
TEST(RestorePoints, RunsFromBeforeTheRecordsKeepTheirPoints) {
    StickRecords stick = RecordedRuns();
    RunRecords older;
    older.name = L"2026-12-06_090000";
    older.hasSet = older.hasAdded = true;
    older.kept = {Stored(L"C\\a.txt", 0)};
    stick.records.push_back(older);
    stick.history = {{L"2026-12-05_090000", true}, {L"2026-12-06_090000", true}, {L"2026-12-07_100000", true}};
    EXPECT_EQ(Names(RestorePoints(stick)), L"090000 090000 100000 090500 093000 ");
    stick.records[1].whole = false;  // run 1's record: its own point needs none of it
    EXPECT_EQ(Names(RestorePoints(stick)), L"090000x 090000x 100000 090500 093000 ");
}

}  // namespace

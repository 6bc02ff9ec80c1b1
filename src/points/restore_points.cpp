#include "points/restore_plan.h"

#include <algorithm>
#include <map>
#include <unordered_map>
#include <unordered_set>

#include "text/case_text.h"

namespace {

// The points of the runs from before the runs' records: every run of the
// history, with the records left by each (a record no history run claims
// is a point of its own).
std::vector<RestorePoint> EarlierPoints(const StickRecords& stick, const WideString& firstRecorded) {
    std::vector<RestorePoint> points;
    for (const HistoryRun& run : stick.history) {
        // Runs of the time of the records are theirs to tell.
        if (!firstRecorded.empty() && run.name >= firstRecorded) continue;
        RestorePoint point;
        point.name = run.name;
        point.changed = run.changed;
        points.push_back(point);
    }
    std::stable_sort(points.begin(), points.end(),
                     [](const RestorePoint& a, const RestorePoint& b) { return a.name < b.name; });
    for (size_t r = 0; r < stick.records.size(); ++r) {
        if (stick.records[r].recorded) continue;
        const WideString& name = stick.records[r].name;
        auto after = std::upper_bound(points.begin(), points.end(), name,
                                      [](const WideString& n, const RestorePoint& p) { return n < p.name; });
        if (after != points.begin() && std::prev(after)->records < 0) {
            std::prev(after)->records = static_cast<int>(r);
            std::prev(after)->changed = true;
            continue;
        }
        RestorePoint own;
        own.name = name;
        own.records = static_cast<int>(r);
        own.changed = true;
        points.insert(after, own);
    }
    return points;
}

// What the backup held after a run, by key: the digest of each file when
// its line is known (a later run's kept file is known by its record).
struct State {
    std::unordered_map<WideString, const Digest*> files;

    bool Holds(const WideString& key, const Digest& digest) const {
        const auto found = files.find(key);
        return found != files.end() && found->second != nullptr && *found->second == digest;
    }
};

}  // namespace

std::vector<RestorePoint> RestorePoints(const StickRecords& stick) {
    // The runs that kept records, by number; one without a number (its
    // record unreadable) puts every earlier point in doubt.
    std::vector<size_t> recorded;
    bool numbered = true;
    for (size_t r = 0; r < stick.records.size(); ++r) {
        if (!stick.records[r].recorded) continue;
        if (stick.records[r].run == 0) numbered = false;
        if (stick.records[r].run != 0) recorded.push_back(r);
    }
    std::sort(recorded.begin(), recorded.end(),
              [&](size_t a, size_t b) { return stick.records[a].run < stick.records[b].run; });
    WideString firstRecorded;
    for (size_t r : recorded) {
        if (firstRecorded.empty() || stick.records[r].name < firstRecorded) firstRecorded = stick.records[r].name;
    }
    std::vector<RestorePoint> points = EarlierPoints(stick, firstRecorded);
    const size_t earlier = points.size();
    for (size_t r : recorded) {
        RestorePoint point;
        point.name = stick.records[r].name;
        point.records = static_cast<int>(r);
        point.changed = true;
        point.run = stick.records[r].run;
        point.interrupted = !stick.records[r].finished;
        points.push_back(point);
    }

    // Newest first: what each run changed, and whether every later change is
    // recorded whole. Lists that hold a later run than any record say that
    // a newer record is gone.
    State state;
    for (const StoredFile& file : stick.backup) {
        state.files[FoldedKey(file.relative)] = file.listed ? &file.digest : nullptr;
    }
    RestorePoint::Doubt doubt = RestorePoint::Doubt::None;
    if (!numbered) doubt = RestorePoint::Doubt::RecordNotWhole;
    if (!recorded.empty() && stick.records[recorded.back()].run < stick.listsRun) doubt = RestorePoint::Doubt::RecordGone;
    const auto doubting = [&doubt](RestorePoint::Doubt why) {
        if (doubt == RestorePoint::Doubt::None) doubt = why;
    };
    for (size_t i = points.size(); i-- > 0;) {
        RestorePoint& point = points[i];
        // The latest point is today's backup itself.
        point.complete = doubt == RestorePoint::Doubt::None || i + 1 == points.size();
        if (!point.complete) point.doubt = doubt;
        const RunRecords* records = point.records >= 0 ? &stick.records[point.records] : nullptr;
        if (i >= earlier) {
            // A record of every run from the one before on: no number missing.
            const bool next = i == earlier ? stick.records[recorded.front()].run == 1
                                           : points[i - 1].run + 1 == point.run;
            if (!records->whole) doubting(RestorePoint::Doubt::RecordNotWhole);
            for (const StoredFile& kept : records->kept) {
                // Gone from the set, it is still the point's when the later state has its bytes.
                if (!kept.onStick && !state.Holds(FoldedKey(kept.relative), kept.digest)) {
                    doubting(RestorePoint::Doubt::VersionsGone);
                }
            }
            if (!next) doubting(RestorePoint::Doubt::RecordGone);
        } else if (point.changed && (records == nullptr || !records->hasAdded)) {
            doubting(records == nullptr || records->hasSet ? RestorePoint::Doubt::VersionsGone
                                                           : RestorePoint::Doubt::RecordGone);
        }
        if (records == nullptr) continue;
        point.added = records->added.size();
        for (const StoredFile& kept : records->kept) {
            if (state.files.count(FoldedKey(kept.relative)) != 0) {
                ++point.replaced;
            } else {
                ++point.removed;
            }
        }
        for (const WideString& added : records->added) state.files.erase(FoldedKey(added));
        for (const StoredFile& kept : records->kept) state.files[FoldedKey(kept.relative)] = &kept.digest;
        for (const WideString& lost : records->lost) state.files[FoldedKey(lost)] = nullptr;
    }
    return points;
}

int ChoosePoint(const std::vector<RestorePoint>& points, const WideString& limit) {
    // By the clock's labels, which need not grow with the runs: the point
    // of that very name (as /dates shows it), else the latest run labelled
    // at or before the limit.
    int chosen = -1;
    for (size_t i = 0; i < points.size(); ++i) {
        if (points[i].name == limit) return static_cast<int>(i);
        if (points[i].name <= limit) chosen = static_cast<int>(i);
    }
    return chosen;
}

int EarliestCompletePoint(const std::vector<RestorePoint>& points) {
    for (size_t i = 0; i < points.size(); ++i) {
        if (points[i].complete) return static_cast<int>(i);
    }
    return -1;
}

#include "points/restore_plan.h"

#include <algorithm>
#include <unordered_map>

#include "text/case_text.h"
#include "text/path_text.h"
#include "verify/checksum_book.h"

namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Whether the text has digits where the pattern has '0' and the pattern's
// other characters elsewhere.
bool Matches(const WideString& text, const wchar_t* pattern) {
    size_t i = 0;
    for (; pattern[i] != 0; ++i) {
        if (i >= text.size()) return false;
        if (pattern[i] == L'0' ? !IsDigit(text[i]) : text[i] != pattern[i]) return false;
    }
    return i == text.size();
}

int Number(const WideString& text, size_t at, size_t digits) {
    int n = 0;
    for (size_t i = at; i < at + digits; ++i) n = n * 10 + (text[i] - L'0');
    return n;
}

// Whether "yyyy-mm-dd_hhmmss" names a moment that exists: a month of the
// year, a day of that month (29 February in leap years only), a time of day.
bool IsRealPointName(const WideString& name) {
    if (!Matches(name, L"0000-00-00_000000")) return false;
    const int year = Number(name, 0, 4), month = Number(name, 5, 2), day = Number(name, 8, 2);
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year == 0 || month < 1 || month > 12 || day < 1) return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (day > kDays[month - 1] + (month == 2 && leap ? 1 : 0)) return false;
    return Number(name, 11, 2) < 24 && Number(name, 13, 2) < 60 && Number(name, 15, 2) < 60;
}

bool IsBelowOrSame(const WideString& key, const WideString& onlyKey) {
    return onlyKey.empty() || key == onlyKey ||
           (key.size() > onlyKey.size() && key.compare(0, onlyKey.size(), onlyKey) == 0 && key[onlyKey.size()] == L'\\');
}

}  // namespace

WideString PointLimitOf(const WideString& at) {
    WideString name;
    if (Matches(at, L"0000-00-00")) name = at + L"_235959";
    if (Matches(at, L"0000-00-00_000000")) name = at;
    // The form the history and a person write: "2026-12-07 18:30:00".
    for (const wchar_t* written : {L"0000-00-00 00:00:00", L"0000-00-00_00:00:00", L"0000-00-00T00:00:00"}) {
        if (Matches(at, written)) name = at.substr(0, 10) + L"_" + at.substr(11, 2) + at.substr(14, 2) + at.substr(17, 2);
    }
    return IsRealPointName(name) ? name : WideString();
}

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

WideString PlaceOfOriginal(const WideString& path) {
    if (path.size() < 3 || path[1] != L':' || path[2] != L'\\' || !IsDriveLetter(path[0])) return WideString();
    const WideString place(1, static_cast<wchar_t>(towupper(path[0])));
    const WideString rest = StripTrailingSeparator(path.substr(3));
    if (rest.empty()) return place;
    return IsRecordPathBelow(rest) ? place + L"\\" + rest : WideString();
}

WideString OriginalOfPlace(const WideString& relative) {
    if (relative.empty() || !IsDriveLetter(relative[0]) || (relative.size() > 1 && relative[1] != L'\\')) {
        return WideString();
    }
    return WideString(1, relative[0]) + L":\\" + (relative.size() > 2 ? relative.substr(2) : WideString());
}

RestorePlan PlanRestore(const StickRecords& stick, const std::vector<RestorePoint>& points, int point,
                        const WideString& only, const std::function<WideString(const WideString&)>& targetOf) {
    // What the runs after the point decide of a path: the earliest of them
    // that touched it. Added by it (neither file nor lost), the path was not
    // there; kept by it, the file is in its set; lost, it is named. A path no
    // such run touched is today's backup file.
    struct Decision {
        int records;
        const StoredFile* file;
        const WideString* lost;
    };
    std::unordered_map<WideString, Decision> decided;
    // Newest first, so that the earliest run after the point decides last.
    for (size_t i = points.size(); i-- > static_cast<size_t>(point + 1);) {
        const int index = points[i].records;
        if (index < 0) continue;
        const RunRecords& records = stick.records[index];
        for (const WideString& added : records.added) decided[FoldedKey(added)] = {index, nullptr, nullptr};
        for (const StoredFile& kept : records.kept) decided[FoldedKey(kept.relative)] = {index, &kept, nullptr};
        // What the run replaced before it could keep it has no bytes on the stick.
        for (const WideString& lost : records.lost) decided[FoldedKey(lost)] = {index, nullptr, &lost};
    }
    const WideString onlyKey = FoldedKey(only);
    RestorePlan plan;
    const auto add = [&](int records, const StoredFile* file) {
        RestoreItem item;
        item.file = file;
        item.fromRecords = records;
        item.target = targetOf(file->relative);
        plan.bytes += file->size;
        plan.items.push_back(std::move(item));
    };
    if (onlyKey.empty()) plan.items.reserve(stick.backup.size() + decided.size());
    // Most restores ask for the last point, of the whole backup: no key is needed.
    const bool everyFile = decided.empty() && onlyKey.empty();
    for (const StoredFile& file : stick.backup) {
        if (everyFile) {
            add(-1, &file);
            continue;
        }
        const WideString key = FoldedKey(file.relative);
        if (IsBelowOrSame(key, onlyKey) && decided.count(key) == 0) add(-1, &file);
    }
    for (const auto& entry : decided) {
        if (!IsBelowOrSame(entry.first, onlyKey)) continue;
        const Decision& decision = entry.second;
        if (decision.file != nullptr) {
            add(decision.records, decision.file);
        } else if (decision.lost != nullptr) {
            StoredFile lost;
            lost.relative = *decision.lost;
            lost.lost = true;
            plan.lostFiles.push_back(std::move(lost));
            add(decision.records, &plan.lostFiles.back());
        }
    }
    for (const WideString& folder : stick.emptyFolders) {
        const WideString target = IsBelowOrSame(FoldedKey(folder), onlyKey) ? targetOf(folder) : WideString();
        if (!target.empty()) plan.emptyFolders.push_back(target);
    }
    std::sort(plan.items.begin(), plan.items.end(),
              [](const RestoreItem& a, const RestoreItem& b) { return a.file->relative < b.file->relative; });
    return plan;
}

void ForgetAddedBefore(StickRecords* stick, const std::vector<RestorePoint>& points, int point) {
    std::vector<bool> needed(stick->records.size(), false);
    for (size_t i = static_cast<size_t>(point + 1); i < points.size(); ++i) {
        if (points[i].records >= 0) needed[points[i].records] = true;
    }
    for (size_t i = 0; i < needed.size(); ++i) {
        if (!needed[i]) StringList().swap(stick->records[i].added);
    }
}

WideString BeforeRestoreName(const WideString& path, const WideString& stamp) {
    const WideString name = FileNamePart(path);
    const WideString folder = path.substr(0, path.size() - name.size());
    size_t dot = name.rfind(L'.');
    const WideString words = L" (before restore " + stamp + L")";
    if (dot == 0 || dot == WideString::npos || name.size() - dot + words.size() >= kNameLimit) dot = name.size();
    WideString stem = name.substr(0, dot);
    const size_t room = kNameLimit - (name.size() - dot) - words.size();
    if (stem.size() > room) {
        // Never half of a surrogate pair.
        stem.resize(room);
        if (!stem.empty() && stem.back() >= 0xD800 && stem.back() <= 0xDBFF) stem.pop_back();
    }
    return folder + stem + words + name.substr(dot);
}

WideString PointText(const WideString& name) {
    if (!Matches(name, L"0000-00-00_000000")) return name;
    return name.substr(0, 10) + L" " + name.substr(11, 2) + L":" + name.substr(13, 2) + L":" + name.substr(15, 2);
}

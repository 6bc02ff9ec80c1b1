#include "plan/tree_compare.h"

#include <gtest/gtest.h>

#include <map>

namespace {

constexpr int64_t kSecond = 10000000;
constexpr uint64_t kOverCap = (uint64_t{1} << 32) + 1;

CopyPolicy BackupPolicy() {
    CopyPolicy policy;
    policy.skippedFolders = {L"keep\\held"};
    policy.excludedFiles = {L"*.bak", L"*.tmp", L"thumbs.db"};
    policy.excludedDirs = {L"bak", L".vs", L"_backup_", L"_search_", L"*.tmp"};
    policy.hasMaxSize = true;
    policy.maxSize = uint64_t{1} << 32;
    policy.timeTolerance = 2 * kSecond;
    return policy;
}

// A tree in memory: relative file path => (size, time); folders are implied
// by the paths, and a path ending in '\' is an (empty) folder.
class MemoryTree {
public:
    MemoryTree(std::initializer_list<std::pair<const wchar_t*, std::pair<uint64_t, int64_t>>> files) {
        folders_[L""];
        for (const auto& file : files) Add(file.first, file.second.first, file.second.second);
    }

    bool List(const WideString& relative, FolderEntries* entries) const {
        const auto folder = folders_.find(relative);
        if (folder != folders_.end()) *entries = folder->second;
        SortByKey(entries);
        return true;
    }

private:
    void Add(WideString path, uint64_t size, int64_t time) {
        const bool folder = !path.empty() && path.back() == L'\\';
        if (folder) path.pop_back();
        const size_t cut = path.rfind(L'\\');
        const WideString parent = cut == WideString::npos ? L"" : path.substr(0, cut);
        FolderEntry entry;
        entry.name = path.substr(cut == WideString::npos ? 0 : cut + 1);
        entry.key = Lower(entry.name);
        entry.directory = folder;
        entry.size = size;
        entry.lastWrite = time;
        auto& siblings = folders_[parent];
        for (const FolderEntry& sibling : siblings) {
            if (sibling.key == entry.key) return;
        }
        siblings.push_back(entry);
        folders_[path];
        if (!parent.empty()) Add(parent + L"\\", 0, 0);
    }

    static WideString Lower(WideString text) {
        for (wchar_t& c : text) c = static_cast<wchar_t>(towlower(c));
        return text;
    }

    std::map<WideString, FolderEntries> folders_;
};

TreeComparison Compare(const MemoryTree& source, const MemoryTree& backup, uint64_t cluster) {
    return CompareTreesWith(BackupPolicy(), cluster,
                            [&](bool inBackup, const WideString& relative, FolderEntries* entries,
                                WideString*) { return (inBackup ? backup : source).List(relative, entries); });
}

StringList Paths(const std::vector<BackupFile>& files) {
    StringList paths;
    for (const BackupFile& file : files) paths.push_back(file.relative);
    return paths;
}

TEST(TreeCompare, WildcardsMatchWholeNamesAsTheCopyToolDoes) {
    const struct {
        const wchar_t* name;
        const wchar_t* pattern;
        bool matches;
    } cases[] = {
        {L"thumbs.db", L"thumbs.db", true},  {L"thumbs.dbx", L"thumbs.db", false},
        {L"old.tmp", L"*.tmp", true},        {L"a.tmp.txt", L"*.tmp", false},
        {L"x.tmp.tmp", L"*.tmp", true},      {L"abcabc", L"abc", false},
        {L"a1b", L"a?b", true},              {L"ab", L"a?b", false},
        {L"anything", L"*", true},           {L"", L"*", true},
        {L"mfc42.tmp", L"mfc*.tmp", true},   {L"readme", L"*.*", false},
    };
    for (const auto& c : cases) EXPECT_EQ(WildcardMatch(c.name, c.pattern), c.matches) << c.name << L" " << c.pattern;
}

TEST(TreeCompare, WhatTheMirrorCopiesOverwritesDeletesAndLeaves) {
    const MemoryTree source({
        {L"Same.TXT", {10, 100 * kSecond}},
        {L"fat.txt", {10, 102 * kSecond}},              // within the 2 s tolerance
        {L"later.txt", {10, 103 * kSecond}},             // beyond it
        {L"grown.txt", {5000, 100 * kSecond}},
        {L"new\\deep\\n.txt", {1, 0}},
        {L"old.bak", {3, 0}},                            // excluded: never copied
        {L"huge.iso", {kOverCap, 0}},                    // over the size cap
        {L"m", {7, 0}},                                  // a file where the backup has a folder
        {L"d\\inside.txt", {1, 0}},                      // a folder where the backup has a file
        {L"bak\\kept.txt", {1, 0}},                      // excluded folder: not entered
        {L"keep\\Held\\live.txt", {1, 0}},                // a folder left out of the copy
    });
    const MemoryTree backup({
        {L"same.txt", {10, 100 * kSecond}},
        {L"fat.txt", {10, 100 * kSecond}},
        {L"later.txt", {10, 100 * kSecond}},
        {L"grown.txt", {10, 100 * kSecond}},
        {L"gone.txt", {4, 0}},                           // extra: deleted
        {L"scratch.tmp", {4, 0}},                        // extra but excluded: stays
        {L"old.bak", {2, 0}},
        {L"huge.iso", {99, 0}},                          // the old copy stays
        {L"m\\inner.txt", {6, 0}},
        {L"d", {8, 0}},
        {L"bak\\old.txt", {1, 0}},
        {L"extra\\a.txt", {1, 0}},                       // extra folder: all of it goes,
        {L"extra\\b.tmp", {1, 0}},                       // excluded names too
        {L"extra\\sub\\c.txt", {1, 0}},
        {L"_Search_\\index.dat", {1, 0}},                // extra but excluded folder: stays
        {L"keep\\held\\live.txt", {9, 0}},                // neither overwritten
        {L"keep\\held\\own.txt", {9, 0}},                 // nor deleted
    });
    const TreeComparison c = Compare(source, backup, 4096);
    EXPECT_TRUE(c.Read());
    EXPECT_EQ(c.files, 7u);
    EXPECT_EQ(c.upToDate, 2u);  // Same.TXT and fat.txt
    EXPECT_EQ(c.MissingOrOlder(), 5u);
    EXPECT_EQ(c.firstMissing, L"grown.txt");  // a folder's files come before its subfolders
    EXPECT_EQ(c.bytesToCopy, 10u + 5000 + 1 + 7 + 1);  // later, grown, n, m, inside
    // The files, rounded up, and a cluster for each new folder: new, new\deep and d.
    EXPECT_EQ(c.need, 4u * 4096 + 8192 + 3 * 4096);
    EXPECT_EQ(c.overSizeCap, StringList{L"huge.iso"});
    EXPECT_EQ(Paths(c.overwritten), (StringList{L"grown.txt", L"later.txt"}));
    EXPECT_EQ(Paths(c.deleted), (StringList{L"d", L"gone.txt", L"extra\\a.txt", L"extra\\b.tmp",
                                            L"extra\\sub\\c.txt", L"m\\inner.txt"}));
}

TEST(TreeCompare, EmptyTreesAndListingsThatFail) {
    const MemoryTree empty({});
    const TreeComparison nothing = Compare(empty, empty, 4096);
    EXPECT_EQ(nothing.files, 0u);
    EXPECT_TRUE(nothing.deleted.empty());
    EXPECT_EQ(RoundUpToCluster(0, 4096), 0u);
    EXPECT_EQ(RoundUpToCluster(4097, 4096), 8192u);
    EXPECT_EQ(RoundUpToCluster(4097, 0), 4097u);

}

TEST(TreeCompare, AnUnlistableSubfolderIsLeftOutAndTheRestCompared) {
    const MemoryTree source({{L"a.txt", {2, 0}}, {L"docs\\b.txt", {1, 0}}, {L"private\\c.txt", {1, 0}},
                             {L"private\\deep\\d.txt", {1, 0}}});
    const MemoryTree backup({{L"a.txt", {1, 0}}, {L"private\\old.txt", {1, 0}}, {L"extra\\x.txt", {1, 0}}});
    const struct {
        bool inBackup;
        const wchar_t* failing;
        const wchar_t* problem;  // as the comparison names it
        uint64_t files;
    } cases[] = {
        {false, L"private", L"could not be read: Access is denied", 2},
        {true, L"private", L"its backup could not be read: Access is denied", 2},
        {false, L"", L"", 0},  // the root itself: nothing is compared
    };
    for (const auto& c : cases) {
        const TreeComparison t = CompareTreesWith(
            BackupPolicy(), 4096,
            [&](bool inBackup, const WideString& relative, FolderEntries* entries, WideString* problem) {
                if (inBackup == c.inBackup && relative == c.failing) {
                    *problem = L"could not be read: Access is denied";
                    return false;
                }
                return (inBackup ? backup : source).List(relative, entries);
            });
        EXPECT_EQ(t.files, c.files) << c.failing;
        if (WideString(c.failing).empty()) {
            EXPECT_FALSE(t.Read());
            EXPECT_TRUE(t.unreadable.empty());
            continue;
        }
        EXPECT_TRUE(t.Read()) << c.failing;
        ASSERT_EQ(t.unreadable.size(), 1u);
        EXPECT_EQ(t.unreadable[0].relative, L"private");
        EXPECT_EQ(t.unreadable[0].problem, c.problem);
        // Its earlier backup is neither deleted nor kept aside; the rest is mirrored.
        EXPECT_EQ(Paths(t.overwritten), StringList{L"a.txt"});
        EXPECT_EQ(Paths(t.deleted), StringList{L"extra\\x.txt"});
    }
}

TEST(TreeCompare, ALinkInTheBackupIsNeverEntered) {
    // "private" in the backup is a junction (to another user's folder, say):
    // nothing behind it is listed, overwritten, deleted or kept aside.
    const MemoryTree source({{L"a.txt", {1, 0}}, {L"private\\c.txt", {1, 0}}});
    const MemoryTree backup({{L"a.txt", {1, 0}}, {L"private\\c.txt", {9, 0}}, {L"gone\\x.txt", {1, 0}}});
    StringList listed;
    const TreeComparison t = CompareTreesWith(
        BackupPolicy(), 0, [&](bool inBackup, const WideString& relative, FolderEntries* entries, WideString*) {
            if (inBackup) listed.push_back(relative);
            const bool listedOk = (inBackup ? backup : source).List(relative, entries);
            for (FolderEntry& entry : *entries) entry.reparsePoint = inBackup && entry.directory;
            return listedOk;
        });
    EXPECT_EQ(listed, StringList{L""});
    ASSERT_EQ(t.unreadable.size(), 1u);
    EXPECT_EQ(t.unreadable[0].relative, L"private");
    EXPECT_TRUE(t.overwritten.empty());
    EXPECT_TRUE(t.deleted.empty());
    EXPECT_EQ(t.files, 1u);
}

}  // namespace

#include "mirror.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <map>

#include "config/directory_ops.h"
#include "test_support.h"

namespace {

// A file tree below a scratch folder: relative path => content; a path
// ending in '\' is an (empty) folder.
using Tree = std::map<std::wstring, std::string>;

void MakeTree(const std::wstring& root, const Tree& tree) {
    CreateDirectoryTree(root);
    for (const auto& item : tree) {
        const std::wstring path = root + L"\\" + item.first;
        for (size_t i = root.size() + 1; i < path.size(); ++i) {
            if (path[i] == L'\\') CreateDirectoryW(path.substr(0, i).c_str(), nullptr);
        }
        if (path.back() != L'\\') WriteFileBytes(path, item.second);
    }
}

void ReadTree(const std::wstring& root, const std::wstring& relative, Tree* tree) {
    WIN32_FIND_DATAW data;
    const std::wstring folder = relative.empty() ? root : root + L"\\" + relative;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring child = relative.empty() ? name : relative + L"\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            (*tree)[child + L"\\"] = "";
            ReadTree(root, child, tree);
        } else {
            (*tree)[child] = ReadFileBytes(root + L"\\" + child);
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

Tree TreeOf(const std::wstring& root) {
    Tree tree;
    ReadTree(root, L"", &tree);
    return tree;
}

int64_t WriteTimeOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return static_cast<int64_t>((static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                                data.ftLastWriteTime.dwLowDateTime);
}

class MirrorTest : public ::testing::Test {
protected:
    std::wstring Source() const { return scratch_.Join(L"src"); }
    std::wstring Destination() const { return scratch_.Join(L"dst\\deep\\er"); }

    int Run(std::vector<std::wstring> switches) {
        std::vector<std::wstring> arguments = {Source(), Destination()};
        arguments.insert(arguments.end(), switches.begin(), switches.end());
        const ParseResult parsed = ParseRobocopyArguments(arguments);
        EXPECT_TRUE(parsed.ok) << parsed.error;
        report_.clear();
        return RunMirror(parsed.options, &report_);
    }

    ScopedTempFolder scratch_;
    std::wstring report_;
};

const std::vector<std::wstring> kPolicy = {
    L"/s", L"/purge", L"/mir", L"/fft", L"/r:3", L"/w:5", L"/xjd", L"/max:4294967296",
    L"/xf", L"*.bak", L"*.tmp", L"Thumbs.db", L"/xd", L"bak", L".vs", L"_Backup_", L"_Search_",
    L"_Backup_", L"*.tmp"};

TEST_F(MirrorTest, TheBackupPolicyCopiesExcludesAndPurges) {
    MakeTree(Source(), {{L"a.txt", "a"},
                        {L"\u65E5\u672C & 50%\\b.doc", "bb"},
                        {L"nested\\deeper\\c.txt", "ccc"},
                        {L"empty\\", ""},
                        {L"x.bak", "no"},
                        {L"THUMBS.DB", "no"},
                        {L"bak\\kept-out.txt", "no"},
                        {L"Quillon.tmp\\work.txt", "no"}});
    const Tree sourceBefore = TreeOf(Source());
    EXPECT_EQ(Run(kPolicy), kCopiedFiles);
    EXPECT_EQ(TreeOf(Destination()), (Tree{{L"a.txt", "a"},
                                           {L"\u65E5\u672C & 50%\\", ""},
                                           {L"\u65E5\u672C & 50%\\b.doc", "bb"},
                                           {L"empty\\", ""},
                                           {L"nested\\", ""},
                                           {L"nested\\deeper\\", ""},
                                           {L"nested\\deeper\\c.txt", "ccc"}}));
    EXPECT_EQ(WriteTimeOf(Source() + L"\\a.txt"), WriteTimeOf(Destination() + L"\\a.txt"));

    // Unchanged: nothing to do. Then a file removed from the source goes
    // from the copy, and a new one arrives.
    EXPECT_EQ(Run(kPolicy), 0);
    DeleteFileW((Source() + L"\\a.txt").c_str());
    WriteFileBytes(Source() + L"\\new.txt", "n");
    EXPECT_EQ(Run(kPolicy), kCopiedFiles | kExtraEntries);
    const Tree after = TreeOf(Destination());
    EXPECT_EQ(after.count(L"a.txt"), 0u);
    EXPECT_EQ(after.at(L"new.txt"), "n");
    EXPECT_NE(report_.find(L"*EXTRA File"), std::wstring::npos) << report_;

    // The source was only read.
    Tree expectedSource = sourceBefore;
    expectedSource.erase(L"a.txt");
    expectedSource[L"new.txt"] = "n";
    EXPECT_EQ(TreeOf(Source()), expectedSource);
}

TEST_F(MirrorTest, ExclusionsProtectTheDestinationUnlessTheParentIsExtra) {
    MakeTree(Source(), {{L"keep.txt", "k"}});
    MakeTree(Destination(), {{L"bak\\old.txt", "protected"},
                             {L"gone\\bak\\x.txt", "purged with its parent"},
                             {L"note.bak", "protected"},
                             {L"stale.txt", "purged"}});
    EXPECT_EQ(Run(kPolicy), kCopiedFiles | kExtraEntries);
    EXPECT_EQ(TreeOf(Destination()), (Tree{{L"bak\\", ""},
                                           {L"bak\\old.txt", "protected"},
                                           {L"keep.txt", "k"},
                                           {L"note.bak", "protected"}}));
}

TEST_F(MirrorTest, NewerOlderAndTheExcludeOlderSwitch) {
    MakeTree(Source(), {{L"f.txt", "source"}});
    MakeTree(Destination(), {{L"f.txt", "newer destination"}});
    ASSERT_TRUE(SetLastWriteDaysAgo(Source() + L"\\f.txt", 3));
    EXPECT_EQ(Run({L"/xo"}), 0);
    EXPECT_EQ(ReadFileBytes(Destination() + L"\\f.txt"), "newer destination");
    // Without /xo an older source still overwrites a newer copy.
    EXPECT_EQ(Run({}), kCopiedFiles);
    EXPECT_EQ(ReadFileBytes(Destination() + L"\\f.txt"), "source");
}

TEST_F(MirrorTest, TimesWithinTwoSecondsAreEqualOnlyWithFatTimes) {
    EXPECT_TRUE(SameTime(0, 20000000, true));
    EXPECT_FALSE(SameTime(0, 20000001, true));
    EXPECT_FALSE(SameTime(0, 1, false));
    EXPECT_TRUE(SameTime(5, 5, false));
}

TEST_F(MirrorTest, SizeAgeAndLevelFilters) {
    MakeTree(Source(), {{L"small", "1"},
                        {L"big", std::string(100, 'x')},
                        {L"old.txt", "old"},
                        {L"l2\\l3\\l4\\deep.txt", "deep"},
                        {L"l2\\two.txt", "2"}});
    ASSERT_TRUE(SetLastWriteDaysAgo(Source() + L"\\old.txt", 30));
    EXPECT_EQ(Run({L"/s", L"/max:50", L"/maxage:7", L"/lev:2"}), kCopiedFiles);
    EXPECT_EQ(TreeOf(Destination()),
              (Tree{{L"small", "1"}, {L"l2\\", ""}, {L"l2\\two.txt", "2"}}));
}

TEST_F(MirrorTest, ListOnlyAndPlainSubdirectoriesCreateNothingNeedless) {
    MakeTree(Source(), {{L"a.txt", "a"}, {L"empty\\", ""}, {L"sub\\b.txt", "b"}});
    EXPECT_EQ(Run({L"/s", L"/l"}), kCopiedFiles);
    EXPECT_EQ(GetFileAttributesW(Destination().c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Run({L"/s"}), kCopiedFiles);
    EXPECT_EQ(TreeOf(Destination()), (Tree{{L"a.txt", "a"}, {L"sub\\", ""}, {L"sub\\b.txt", "b"}}));
}

TEST_F(MirrorTest, IncludeSpecsLimitWhatIsCopiedAndPurged) {
    MakeTree(Source(), {{L"a.doc", "a"}, {L"b.txt", "b"}});
    MakeTree(Destination(), {{L"other.txt", "not a doc: not extra"}, {L"gone.doc", "extra"}});
    EXPECT_EQ(Run({L"*.doc", L"/purge"}), kCopiedFiles | kExtraEntries);
    EXPECT_EQ(TreeOf(Destination()),
              (Tree{{L"a.doc", "a"}, {L"other.txt", "not a doc: not extra"}}));
}

TEST_F(MirrorTest, MismatchesAndAMissingSource) {
    MakeTree(Source(), {{L"thing\\in.txt", "i"}});
    MakeTree(Destination(), {{L"thing", "a file where the source has a folder"}});
    EXPECT_EQ(Run({L"/s"}) & kMismatches, kMismatches);
    EXPECT_EQ(Run({L"/mir"}) & (kMismatches | kCopiedFiles), kMismatches | kCopiedFiles);
    EXPECT_EQ(ReadFileBytes(Destination() + L"\\thing\\in.txt"), "i");

    const ParseResult parsed = ParseRobocopyArguments({scratch_.Join(L"nothing"), Destination()});
    std::wstring report;
    EXPECT_EQ(RunMirror(parsed.options, &report), kSeriousError);
}

TEST_F(MirrorTest, WildcardsIgnoreCase) {
    EXPECT_TRUE(WildcardMatch(L"Thumbs.db", L"THUMBS.DB"));
    EXPECT_TRUE(WildcardMatch(L"Quillon.tmp", L"*.tmp"));
    EXPECT_TRUE(WildcardMatch(L"a.b", L"?.?"));
    EXPECT_FALSE(WildcardMatch(L"ab.b", L"?.?"));
    EXPECT_TRUE(WildcardMatch(L"README", L"*"));
    EXPECT_FALSE(WildcardMatch(L"x.tmp.txt", L"*.tmp"));
}

}  // namespace

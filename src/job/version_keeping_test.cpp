#include "job/version_keeping.h"

#include <gtest/gtest.h>

#include "common/windows_headers.h"

#include "test_support.h"

namespace {

// An outer folder's copy failed and its kept file went back into the
// backup: a folder planned later (an inner one) must keep it again.
TEST(VersionSetOfRun, AFilePutBackCanBeKeptAgainByALaterFolder) {
    ScopedTempFolder temp;
    const WideString backup = temp.Join(L"b");
    const WideString set = temp.Join(L"v\\PC01\\2026-12-07_183000");
    ASSERT_TRUE(CreateDirectoryW(backup.c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(backup + L"\\x.txt", "old"));
    const std::vector<VersionMove> moves = {{backup + L"\\x.txt", set + L"\\x.txt", 3, temp.Join(L"s\\x.txt")}};
    std::tm start = {};
    VersionSetOfRun run(temp.Join(L"v\\PC01"), start);
    ASSERT_EQ(MoveIntoSet(moves, set), L"");
    run.Remember(moves);
    EXPECT_TRUE(run.NotYetMoved(moves).empty());

    run.Forget(moves);  // still in the set: remembered
    EXPECT_TRUE(run.NotYetMoved(moves).empty());
    PutBack(moves, set);
    EXPECT_TRUE(FactsOf(backup + L"\\x.txt").exists);
    run.Forget(moves);
    EXPECT_EQ(run.NotYetMoved(moves).size(), 1u);
}

}  // namespace

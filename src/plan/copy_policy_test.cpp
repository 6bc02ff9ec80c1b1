#include "plan/copy_policy.h"

#include <gtest/gtest.h>

namespace {

TEST(CopyPolicy, TheRestoresTemporaryFilesAreLeftOutWhateverTheJobsList) {
    CopyPolicy none;
    CopyPolicy listed;
    listed.excludedFiles = {L"*.bak", L"thumbs.db"};
    for (const CopyPolicy* policy : {&none, &listed}) {
        for (const wchar_t* name : {L"x.txt.brisk-restoring", L"x.txt~2.brisk-restoring", L".brisk-restoring"}) {
            EXPECT_TRUE(ExcludesFile(*policy, name)) << name;
        }
        for (const wchar_t* name : {L"x.brisk-restoring.txt", L"x.txt", L"brisk-restoring"}) {
            EXPECT_FALSE(ExcludesFile(*policy, name)) << name;
        }
    }
    EXPECT_TRUE(ExcludesFile(listed, L"a.bak"));
    EXPECT_FALSE(ExcludesFile(none, L"a.bak"));
}

}  // namespace

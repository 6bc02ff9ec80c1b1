#include "app/closing_wait.h"

#include <gtest/gtest.h>

namespace {

TEST(ClosingWait, OnlyARunAloneInItsConsoleWaitsAndOnlyAnIncompleteOneForAKey) {
    const struct {
        unsigned long processes;
        int exitStatus;
        ClosingWait wait;
    } cases[] = {
        {1, 0, ClosingWait::ShortPause},  // started from Explorer: complete
        {1, 1, ClosingWait::KeyPress},    // incomplete
        {1, 2, ClosingWait::KeyPress},    // no backup made
        {2, 0, ClosingWait::None},        // from cmd or a script
        {2, 1, ClosingWait::None},
        {3, 2, ClosingWait::None},
        {0, 1, ClosingWait::None},        // no console at all
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ClosingWaitFor(c.processes, c.exitStatus), c.wait) << c.processes << " " << c.exitStatus;
    }
}

}  // namespace

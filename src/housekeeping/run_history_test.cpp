#include "housekeeping/run_history.h"

#include <gtest/gtest.h>

namespace {

TEST(RunHistory, OneFixedLinePerRunAndTheNewestThousandKept) {
    RunRecord record;
    record.start.tm_year = 2026 - 1900;
    record.start.tm_mon = 11;
    record.start.tm_mday = 7;
    record.start.tm_hour = 18;
    record.start.tm_min = 30;
    record.start.tm_sec = 2;
    record.folders = 11;
    record.files = 3204;
    record.bytesCopied = 12897484;
    record.versionsKept = 2;
    record.seconds = 41;
    const struct {
        int exitStatus;
        const wchar_t* line;
    } cases[] = {
        {0, L"2026-12-07 18:30:02\tcomplete\t0\t11\t3204\t12897484\t2\t0\t41"},
        {1, L"2026-12-07 18:30:02\tincomplete\t1\t11\t3204\t12897484\t2\t0\t41"},
        {2, L"2026-12-07 18:30:02\tnot made\t2\t11\t3204\t12897484\t2\t0\t41"},
    };
    for (const auto& c : cases) {
        record.exitStatus = c.exitStatus;
        EXPECT_EQ(HistoryLine(record), c.line);
    }

    // A last line without its line end, and blank ones, as a hand-edited file may have.
    EXPECT_EQ(HistoryWith({L"a\r", L"", L"b"}, L"c", 1000), (StringList{L"a", L"b", L"c"}));
    EXPECT_EQ(HistoryWith({L"a\r", L"b\r", L"c\r"}, L"d", 3), (StringList{L"b", L"c", L"d"}));
    EXPECT_EQ(HistoryFileOf(L"E:\\_Backup_\\PC01"), L"E:\\_Backup_\\PC01.log");
}

}  // namespace

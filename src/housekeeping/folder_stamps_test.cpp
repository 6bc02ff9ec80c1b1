#include "housekeeping/folder_stamps.h"

#include <gtest/gtest.h>

#include "common/windows_headers.h"
#include "test_support.h"

namespace {

TEST(FolderStamps, SetFileTimesKeepsTheCreationTimeAndPasses2038) {
    ScopedTempFolder folder;
    const WideString path = folder.Join(L"stamped");
    ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
    const auto times = [&](FILETIME* creation, FILETIME* access, FILETIME* write) {
        HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        GetFileTime(h, creation, access, write);
        CloseHandle(h);
    };
    FILETIME creationBefore, access, write, creationAfter;
    times(&creationBefore, &access, &write);
    const int64_t in2040 = 2208988800;  // 2040-01-01 00:00:00 UTC
    ASSERT_TRUE(SetFileTimes(path, in2040, in2040));
    times(&creationAfter, &access, &write);
    // Wine has no creation time of its own: it reports the file's change
    // time, which any time change moves.
    if (!RunningUnderWine()) {
        EXPECT_EQ(CompareFileTime(&creationBefore, &creationAfter), 0);
    }
    const uint64_t ticks = (uint64_t{write.dwHighDateTime} << 32) | write.dwLowDateTime;
    EXPECT_EQ(ticks, (uint64_t{2208988800} + 11644473600ULL) * 10000000ULL);

    ErrorStreamCapture errors;
    EXPECT_FALSE(SetFileTimes(folder.Join(L"missing"), in2040, in2040));
    EXPECT_TRUE(StartsWith(errors.Text(), L"error ... ")) << errors.Text();
}

}  // namespace

#include "script/text_files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "common/windows_headers.h"
#include "script/command_line.h"
#include "test_support.h"
#include "text/file_status.h"
#include "text/system_error.h"

namespace {

TEST(TextFiles, ScriptsAreCodePage932WithoutByteOrderMark) {
    ScopedTempFolder folder;
    const WideString path = folder.Join(L"script.bat");
    ASSERT_TRUE(WriteTextFile(path, L"echo \u65E5\u672C\u0416\r\nrem \u00E9\uD55C\r\n"));
    EXPECT_EQ(ReadFileBytes(path), "echo \x93\xFA\x96\x7B\x84G\r\nrem __\r\n");

    ASSERT_TRUE(WriteTextFile(path, WideString(L"before\0after", 12)));
    EXPECT_EQ(ReadFileBytes(path), "before");

    ASSERT_TRUE(WriteTextFile(path, L""));
    EXPECT_TRUE(PathExists(path, false));
    EXPECT_EQ(ReadFileBytes(path), "");
}

TEST(TextFiles, FolderListIsUtf8WithCrLfAfterEveryLine) {
    ScopedTempFolder folder;
    const WideString path = folder.Join(ComputerName() + L".txt");
    EXPECT_EQ(FolderListFilePath(folder.Path()), path);
    ASSERT_EQ(ReplaceFolderListFile({L"", L"C:\\Data", L"C:\\\u30C7\u30FC\u30BF"}, folder.Path()), L"");
    EXPECT_EQ(ReadFileBytes(path), "\r\nC:\\Data\r\nC:\\\xE3\x83\x87\xE3\x83\xBC\xE3\x82\xBF\r\n");

    // A list that cannot be replaced (here a folder holds its name) says why
    // and leaves no partial file behind.
    ScopedTempFolder blocked;
    ASSERT_TRUE(CreateDirectoryW(FolderListFilePath(blocked.Path()).c_str(), nullptr));
    EXPECT_NE(ReplaceFolderListFile({L"C:\\Other"}, blocked.Path()), L"");
    EXPECT_FALSE(PathExists(FolderListFilePath(blocked.Path()) + L".new", false));

    ASSERT_TRUE(WriteUtf8Lines(path, {}));
    EXPECT_TRUE(PathExists(path, false));
    EXPECT_EQ(ReadFileBytes(path), "");
    EXPECT_FALSE(WriteUtf8Lines(L"", {L"x"}));
}

TEST(TextFiles, ConversionsStopAtNul) {
    EXPECT_EQ(ToUtf8(WideString(L"a\0b", 3)), (ByteVector{'a'}));
    EXPECT_EQ(ToUtf8(L"\u00E9"), (ByteVector{0xC3, 0xA9}));
    EXPECT_EQ(ToCodePage932(L""), ByteVector{});
    EXPECT_EQ(ToCodePage932(L"\U0001F600"), (ByteVector{'_', '_'}));
}

// Holds a file open without sharing, on another thread, for a while.
class FileHolder {
public:
    FileHolder(const WideString& path, int milliseconds) {
        handle_ = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
        thread_ = std::thread([this, milliseconds] {
            std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
            CloseHandle(handle_);
        });
    }
    ~FileHolder() { thread_.join(); }
    bool Holding() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
    std::thread thread_;
};

TEST(TextFiles, AHeldFileIsRetriedUntilItIsFree) {
    ScopedTempFolder folder;
    const WideString path = folder.Join(L"held.bat");
    ErrorStreamCapture errors;
    {
        FileHolder holder(path, 450);
        ASSERT_TRUE(holder.Holding());
        EXPECT_TRUE(WriteTextFile(path, L"echo ok\r\n"));
    }
    EXPECT_EQ(ReadFileBytes(path), "echo ok\r\n");
    // The counter went up one attempt at a time, each ended by a CR only.
    const WideString counter = errors.Text();
    ASSERT_GE(counter.size(), 4u) << counter.size();
    EXPECT_EQ(counter.substr(0, 4), L"1\r2\r");
    EXPECT_EQ(counter.find(L'\n'), kNoPosition);
}

TEST(TextFiles, OpenWithRetryTriesSecondsTimesTenAtLeastOnce) {
    ScopedTempFolder folder;
    const WideString path = folder.Join(L"locked.log");
    FileHolder holder(path, 2500);
    ASSERT_TRUE(holder.Holding());
    {
        ErrorStreamCapture errors;
        EXPECT_EQ(OpenWithRetry(path, L"ab", 0), nullptr);
        EXPECT_EQ(errors.Text(), L"1\r");
    }
    {
        ErrorStreamCapture errors;
        EXPECT_EQ(OpenWithRetry(path, L"ab", -3), nullptr);
        EXPECT_EQ(errors.Text(), L"1\r");
    }
    {
        ErrorStreamCapture errors;
        EXPECT_EQ(OpenWithRetry(L"", L"ab", 10), nullptr);
        EXPECT_EQ(errors.Text(), L"");
    }
    FILE* file = OpenWithRetry(folder.Join(L"free.log"), L"ab", 1);
    ASSERT_NE(file, nullptr);
    std::fclose(file);
}

TEST(TextFiles, AWriterThatGivesUpSaysSo) {
    ScopedTempFolder folder;
    const WideString path = folder.Join(L"no\\such\\folder\\x.bat");
    ErrorStreamCapture errors;
    EXPECT_FALSE(WriteBytesWithRetry(path, ByteVector{'x'}, 0));
    // The counter runs to 100 on one line; then the reason follows.
    EXPECT_EQ(errors.Lines(), StringList{L"1\r2\r3\r4\r5\r6\r7\r8\r9\r10\r11\r12\r13\r14\r15\r16\r17\r18"
                                         L"\r19\r20\r21\r22\r23\r24\r25\r26\r27\r28\r29\r30\r31\r32\r33\r34"
                                         L"\r35\r36\r37\r38\r39\r40\r41\r42\r43\r44\r45\r46\r47\r48\r49\r50"
                                         L"\r51\r52\r53\r54\r55\r56\r57\r58\r59\r60\r61\r62\r63\r64\r65\r66"
                                         L"\r67\r68\r69\r70\r71\r72\r73\r74\r75\r76\r77\r78\r79\r80\r81\r82"
                                         L"\r83\r84\r85\r86\r87\r88\r89\r90\r91\r92\r93\r94\r95\r96\r97\r98"
                                         L"\r99\r100\rCan't open wb  " + path + L": " +
                                         SystemReason(ERROR_PATH_NOT_FOUND)});
}

// A file whose new bytes do not check out never takes the old one's place.
TEST(TextFiles, AReplacementThatDoesNotCheckOutLeavesTheOldFile) {
    ScopedTempFolder temp;
    const WideString path = temp.Join(L"list.txt");
    ASSERT_TRUE(WriteFileBytes(path, "old"));
    const auto produce = [](const ChunkWriter& write) { write("new", 3); };
    EXPECT_EQ(ReplaceFileWriting(path, produce, [](const WideString&) { return WideString(L"it reads back wrong"); }),
              L"it reads back wrong");
    EXPECT_EQ(ReadFileBytes(path), "old");
    EXPECT_EQ(GetFileAttributesW((path + L".new").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ReplaceFileWriting(path, produce, [](const WideString& written) {
                  return ReadFileBytes(written) == "new" ? WideString() : WideString(L"not the bytes");
              }),
              L"");
    EXPECT_EQ(ReadFileBytes(path), "new");
}

}  // namespace

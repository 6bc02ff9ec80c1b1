#include "verify/file_digest.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "test_support.h"

namespace {

struct KnownDigest {
    std::string bytes;
    const wchar_t* hex;
};

TEST(FileDigest, FilesOfEverySizeGiveTheStandardDigestFromEitherRead) {
    // Sizes around the sector and the read chunk: unbuffered reads end short.
    const KnownDigest known[] = {
        {"", L"e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", L"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {std::string(1000000, 'a'), L"cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    ScopedTempFolder folder;
    for (const KnownDigest& entry : known) {
        const WideString path = folder.Join(L"file " + std::to_wstring(entry.bytes.size()));
        ASSERT_TRUE(WriteFileBytes(path, entry.bytes));
        for (ReadFrom from : {ReadFrom::Cache, ReadFrom::Device}) {
            const FileDigest digest = DigestOfFile(path, from);
            ASSERT_TRUE(digest.read) << digest.problem;
            EXPECT_EQ(entry.bytes.size(), digest.bytes);
            EXPECT_EQ(entry.hex, DigestHex(digest.digest)) << entry.bytes.size();
        }
        EXPECT_EQ(entry.hex, DigestHex(DigestOfBytes(entry.bytes.data(), entry.bytes.size())));
    }
    const std::string large(3 * (1 << 20) + 4097, 'x');
    ASSERT_TRUE(WriteFileBytes(folder.Join(L"large"), large));
    const FileDigest digest = DigestOfFile(folder.Join(L"large"), ReadFrom::Device);
    EXPECT_EQ(large.size(), digest.bytes);
    EXPECT_EQ(DigestOfBytes(large.data(), large.size()), digest.digest);

    const FileDigest missing = DigestOfFile(folder.Join(L"none"), ReadFrom::Device);
    EXPECT_FALSE(missing.read);
    EXPECT_FALSE(missing.problem.empty());
}

TEST(FileDigest, ReadsEndAtTheFilesSizeOnEitherSideOfAPageOrChunkAndOnAReadersOwnThread) {
    // Each read asks for the rest of the file and a byte more, in whole
    // pages: sizes on the page and chunk edges must still read whole.
    ScopedTempFolder folder;
    const size_t sizes[] = {1, 4095, 4096, 4097, 8191, (1u << 20) - 1, 1u << 20, (1u << 20) + 1, 2u << 20};
    std::vector<std::pair<WideString, Digest>> files;
    for (const size_t size : sizes) {
        std::string bytes(size, 'b');
        bytes.back() = 'e';  // a lost last byte changes the digest
        const WideString path = folder.Join(L"size " + std::to_wstring(size));
        ASSERT_TRUE(WriteFileBytes(path, bytes));
        files.emplace_back(path, DigestOfBytes(bytes.data(), bytes.size()));
        for (ReadFrom from : {ReadFrom::Cache, ReadFrom::Device}) {
            const FileDigest digest = DigestOfFile(path, from);
            EXPECT_TRUE(digest.read) << size << " " << digest.problem;
            EXPECT_EQ(size, digest.bytes);
            EXPECT_EQ(files.back().second, digest.digest) << size;
        }
    }
    // A reader of its own reads beside the main thread's.
    std::vector<Digest> beside(files.size());
    std::thread other([&] {
        FileReader reader;
        for (size_t i = 0; i < files.size(); ++i) beside[i] = reader.Digest(files[i].first, ReadFrom::Device).digest;
    });
    for (const auto& file : files) EXPECT_EQ(file.second, DigestOfFile(file.first, ReadFrom::Device).digest);
    other.join();
    for (size_t i = 0; i < files.size(); ++i) EXPECT_EQ(files[i].second, beside[i]) << i;
}

TEST(FileDigest, HexReadsBackOnlyWhole64Digits) {
    const Digest digest = DigestOfBytes("abc", 3);
    Digest back{};
    EXPECT_TRUE(DigestFromHex(DigestHex(digest), &back));
    EXPECT_EQ(digest, back);
    WideString upper = DigestHex(digest);
    for (wchar_t& c : upper) c = static_cast<wchar_t>(towupper(c));
    EXPECT_TRUE(DigestFromHex(upper, &back));
    EXPECT_EQ(digest, back);
    for (const WideString& bad : {DigestHex(digest).substr(1), DigestHex(digest) + L"0",
                                  L"g" + DigestHex(digest).substr(1)}) {
        EXPECT_FALSE(DigestFromHex(bad, &back)) << bad;
    }
}

}  // namespace

#include "verify/file_digest.h"

#include <gtest/gtest.h>

#include <string>

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

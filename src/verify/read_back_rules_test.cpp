#include "verify/read_back_rules.h"

#include <gtest/gtest.h>

namespace {

FileDigest Read(const char* bytes, size_t size) {
    FileDigest digest;
    digest.read = true;
    digest.digest = DigestOfBytes(bytes, size);
    digest.bytes = size;
    return digest;
}

TEST(ReadBackRules, AKeptCopyIsRepairedFromItsSourceOrNamedWhenItIsTheOnlyOne) {
    ChecksumRecord record;
    record.digest = DigestOfBytes("good", 4);
    record.size = 4;
    record.lastWrite = 50;
    const FileFacts asRecorded{true, 4, 50};
    const FileFacts source{true, 4, 50};
    const FileFacts gone{};
    FileDigest unreadable;
    unreadable.problem = L"Data error (cyclic redundancy check)";
    const struct {
        FileFacts backup;
        FileDigest readBack;
        FileFacts source;
        KeptCopyState state;
    } cases[] = {
        {asRecorded, Read("good", 4), source, KeptCopyState::Sound},
        {asRecorded, Read("gooD", 4), source, KeptCopyState::Repair},
        {asRecorded, Read("gooD", 4), FileFacts{true, 9, 77}, KeptCopyState::Repair},
        {asRecorded, Read("gooD", 4), gone, KeptCopyState::Damaged},
        {asRecorded, unreadable, source, KeptCopyState::Repair},
        {asRecorded, unreadable, gone, KeptCopyState::Damaged},
        {FileFacts{true, 4, 51}, Read("gooD", 4), source, KeptCopyState::Stale},
        {FileFacts{true, 5, 50}, Read("gooD", 4), source, KeptCopyState::Stale},
        {gone, FileDigest(), gone, KeptCopyState::Stale},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        EXPECT_EQ(cases[i].state, KeptCopyStateOf(record, cases[i].backup, cases[i].readBack, cases[i].source))
            << "case " << i;
    }
}

TEST(ReadBackRules, ACopyThatDiffersIsWrongOnlyWhileItsSourceStayedAsItWas) {
    const FileFacts walked{true, 4, 50};
    FileDigest unreadable;
    unreadable.problem = L"The process cannot access the file";
    const struct {
        FileDigest backup;
        FileDigest source;
        FileFacts after;
        CopyCheck check;
    } cases[] = {
        {Read("same", 4), Read("same", 4), walked, CopyCheck::Match},
        {Read("sAme", 4), Read("same", 4), walked, CopyCheck::Mismatch},
        {Read("sam", 3), Read("same", 4), walked, CopyCheck::Mismatch},
        {Read("sAme", 4), Read("same", 4), FileFacts{true, 4, 60}, CopyCheck::SourceChanged},
        {Read("same", 4), Read("same+", 5), walked, CopyCheck::SourceChanged},
        {Read("same", 4), Read("same", 4), FileFacts{}, CopyCheck::SourceChanged},
        {unreadable, Read("same", 4), walked, CopyCheck::BackupUnreadable},
        {Read("same", 4), unreadable, walked, CopyCheck::SourceUnreadable},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        EXPECT_EQ(cases[i].check, CopyCheckOf(cases[i].backup, cases[i].source, walked, cases[i].after)) << "case " << i;
    }
}

}  // namespace

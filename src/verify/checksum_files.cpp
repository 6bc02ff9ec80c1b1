#include "verify/checksum_files.h"

#include <string>

#include "script/text_files.h"

WideString ChecksumListOf(const WideString& computerFolder) { return computerFolder + L".sha256"; }

WideString RunsListOf(const WideString& computerFolder) { return computerFolder + L".sha256.runs"; }

WideString SetChecksumListOf(const WideString& setFolder) { return setFolder + L".sha256"; }

ChecksumBook LoadChecksumBook(const WideString& computerFolder) {
    std::string checksums;
    std::string runs;
    if (!ReadWholeFile(ChecksumListOf(computerFolder), &checksums) ||
        !ReadWholeFile(RunsListOf(computerFolder), &runs)) {
        return ChecksumBook();
    }
    return BookFromLists(checksums, runs);
}

WideString SaveChecksumBook(const ChecksumBook& book, const WideString& computerFolder) {
    // The checksums first: with the runs list of before, a file whose line
    // changed has sizes that no longer match and is read back again, never
    // taken for damaged.
    const std::string checksums = ChecksumListText(book);
    WideString problem = ReplaceFileWith(ChecksumListOf(computerFolder), checksums.data(), checksums.size());
    if (!problem.empty()) return problem;
    const std::string runs = RunsListText(book);
    return ReplaceFileWith(RunsListOf(computerFolder), runs.data(), runs.size());
}

WideString SaveSetChecksums(const std::vector<ChecksumRecord>& records, const WideString& setFolder) {
    const std::string text = ChecksumListText(records);
    return ReplaceFileWith(SetChecksumListOf(setFolder), text.data(), text.size());
}

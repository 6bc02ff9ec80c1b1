#include "verify/checksum_files.h"

#include <string>

#include "script/text_files.h"

WideString ChecksumListOf(const WideString& computerFolder) { return computerFolder + L".sha256"; }

WideString RunsListOf(const WideString& computerFolder) { return computerFolder + L".sha256.runs"; }

WideString SetChecksumListOf(const WideString& setFolder) { return setFolder + L".sha256"; }

ChecksumBook LoadChecksumBook(const WideString& computerFolder) {
    // Line by line: the lists are never held whole beside the book.
    ChecksumListsReader reader;
    if (!ForEachFileLine(ChecksumListOf(computerFolder), [&](const std::string& line) { reader.ChecksumLine(line); }) ||
        !ForEachFileLine(RunsListOf(computerFolder), [&](const std::string& line) { reader.RunsLine(line); })) {
        return ChecksumBook();
    }
    return reader.Finish();
}

WideString SaveChecksumBook(const ChecksumBook& book, const WideString& computerFolder) {
    // The checksums first: with the runs list of before, a file whose line
    // changed has sizes that no longer match and is read back again, never
    // taken for damaged. Each is written a line at a time.
    WideString problem = ReplaceFileWriting(ChecksumListOf(computerFolder), [&](const ChunkWriter& write) {
        book.ForEachListLine(false, [&](const std::string& line) { write(line.data(), line.size()); });
    });
    if (!problem.empty()) return problem;
    return ReplaceFileWriting(RunsListOf(computerFolder), [&](const ChunkWriter& write) {
        const std::string head = "run " + std::to_string(book.Run()) + "\n";
        write(head.data(), head.size());
        book.ForEachListLine(true, [&](const std::string& line) { write(line.data(), line.size()); });
    });
}

WideString SaveSetChecksums(const std::vector<ChecksumRecord>& records, const WideString& setFolder) {
    const std::string text = ChecksumListText(records);
    return ReplaceFileWith(SetChecksumListOf(setFolder), text.data(), text.size());
}

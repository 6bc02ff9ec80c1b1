#include "check/copies_check.h"

#include <algorithm>
#include <system_error>
#include <thread>

#include "check/check_actions.h"
#include "script/cmd_text.h"
#include "script/command_line.h"
#include "text/case_text.h"
#include "text/path_text.h"
#include "trace/trace_log.h"
#include "text/messages.h"
#include "verify/read_back_rules.h"
#include "walk/tree_walk.h"

namespace {

// The copies read back at once, each beside its source (see ReadPending).
const size_t kCopiesAtOnce = 256;

// The source as it was once read: from its open file when it was read, else
// asked of the path.
FileFacts SourceAfterReading(const FileDigest& original, const WideString& sourcePath) {
    return original.read ? FileFacts{true, original.sizeAfter, original.lastWriteAfter} : FactsOf(sourcePath);
}

WideString RecordPath(const WideString& place, const WideString& relative) { return place + L"\\" + relative; }

uint64_t KeyHash(const WideString& relative) {
    uint64_t hash = 1469598103934665603ull;
    for (const wchar_t c : FoldedKey(relative)) {
        hash ^= static_cast<uint64_t>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

}  // namespace

void KnownPaths::Add(const WideString& relative) {
    hashes_.push_back(KeyHash(relative));
    sorted_ = false;
}

bool KnownPaths::Has(const WideString& relative) const {
    if (!sorted_) {
        std::sort(hashes_.begin(), hashes_.end());
        sorted_ = true;
    }
    return std::binary_search(hashes_.begin(), hashes_.end(), KeyHash(relative));
}

TakenFileVisitor CopiesCheck::UnrecordedVisitor(const WideString& place, std::vector<WideString>* unrecorded) {
    return [this, place, unrecorded](const WideString& relative, const FolderEntry&, const FolderEntry* backup,
                                     bool upToDate) {
        if (!upToDate || backup == nullptr) return;
        if (!place.empty() &&
            lists_.Book().SeenAsRecorded(RecordPath(place, relative), backup->size, backup->lastWrite)) {
            return;
        }
        unrecorded->push_back(relative);
    };
}

bool CopiesCheck::CheckUnrecorded(PlannedFolder* folder, const WideString& place,
                                const std::vector<WideString>& unrecorded, uint64_t clusterBytes) {
    bool allRecorded = true;
    for (const WideString& relative : unrecorded) {
        const WideString backupPath = JoinPath(folder->destination, relative);
        const FileFacts backup = FactsOf(backupPath);
        allRecorded = allRecorded && !place.empty();
        if (!backup.exists) {
            allRecorded = false;
            continue;
        }
        const WideString recordPath = place.empty() ? WideString() : RecordPath(place, relative);
        const std::optional<ChecksumRecord> record =
            recordPath.empty() ? std::nullopt : lists_.Book().Find(recordPath);
        if (record && record->size == backup.size && record->lastWrite == backup.lastWrite) continue;
        // A changed copy picked for the rolling check is that check's to decide.
        if (!recordPath.empty() && lists_.IsSuspect(recordPath)) continue;
        const WideString sourcePath = JoinPath(folder->source, relative);
        const FileFacts sourceBefore = FactsOf(sourcePath);
        const FileDigest copy = DigestOfFile(backupPath, ReadFrom::Device);
        const FileDigest original = DigestOfFile(sourcePath, ReadFrom::Cache);
        const CopyCheck check = CopyCheckOf(copy, original, sourceBefore, FactsOf(sourcePath));
        if (check == CopyCheck::Match) {
            if (!recordPath.empty()) lists_.Record(recordPath, backup.size, backup.lastWrite, copy.digest);
            continue;
        }
        allRecorded = false;
        if (check != CopyCheck::Mismatch) continue;  // the walk after the copy reads it again
        // Same size and time, other bytes: which side changed cannot be
        // known, so the old bytes are kept before the copy replaces them.
        CountAsToCopy(folder, relative, backup, clusterBytes);
        if (recordPath.empty()) continue;
        ChecksumRecord kept;
        kept.relative = recordPath;
        kept.digest = copy.digest;
        kept.size = backup.size;
        kept.lastWrite = backup.lastWrite;
        kept.checkedRun = lists_.Book().Run();
        lists_.Differs(kept);
    }
    return allRecorded;
}

ReadBackOfCopy CopiesCheck::ReadBack(const PlannedFolder& folder, const CopyPolicy& folderPolicy,
                                    const WideString& place, int64_t copyStarted, bool leftAsPlanned,
                                    const KnownPaths* known) {
    ReadBackOfCopy found;
    const auto visit = [&](const WideString& relative, const FolderEntry& source, const FolderEntry* backup,
                           bool upToDate) {
        if (!upToDate) {
            if (backup != nullptr && source.lastWrite >= copyStarted && backup->lastWrite < source.lastWrite) {
                found.findings.push_back({CopyFinding::Kind::ChangedDuringBackup, JoinPath(folder.source, relative),
                                          WideString()});
                found.complete = false;
            }
            return;
        }
        if (!place.empty()) {
            const ChecksumBook::Seen seen =
                lists_.Book().SeeAs(RecordPath(place, relative), backup->size, backup->lastWrite);
            if (seen == ChecksumBook::Seen::AsRecorded) return;
            // A file the plan knew the copy brings is neither lost nor late.
            if (known != nullptr && !known->Has(relative)) {
                (seen == ChecksumBook::Seen::Other ? found.lost : found.late).push_back(relative);
            }
        }
        pending_.push_back({relative, source.size, source.lastWrite, backup->size, backup->lastWrite});
        if (pending_.size() >= kCopiesAtOnce) ReadPending(folder, place, &found, &found.mismatched);
    };
    // A copy that changed nothing leaves the plan's comparison true: no
    // second walk of both trees, nothing written to read back.
    found.after = leftAsPlanned ? folder.before
                                : CompareTrees(folderPolicy, 0, folder.source, folder.destination, visit);
    ReadPending(folder, place, &found, &found.mismatched);
    return found;
}

void CopiesCheck::Mend(const PlannedFolder& folder, const CopyPolicy& folderPolicy, const WideString& place,
                       const std::function<bool(const StringList&)>& copyAgain, ReadBackOfCopy* found) {
    if (found->mismatched.empty()) return;
    // Removed, so that the copy takes them again.
    for (const WideString& relative : found->mismatched) {
        const WideString problem = RemoveBackupFile(JoinPath(folder.destination, relative));
        if (!problem.empty()) {
            WriteTrace(Say(Message::CouldNotRemove, {JoinPath(folder.destination, relative), problem}));
        }
    }
    // Only the files that did not match are copied again: whatever else
    // changed since the plan is neither overwritten nor purged unkept.
    const StringList again = CopyAgainArguments(folder, found->mismatched, ScriptCodePage());
    CheckAgain(folder, place, found->mismatched, !again.empty() && copyAgain(again), found);
    found->after = CompareTrees(folderPolicy, 0, folder.source, folder.destination);
}

void CopiesCheck::ReadPending(const PlannedFolder& folder, const WideString& place, ReadBackOfCopy* found,
                            StringList* mismatched) {
    if (pending_.empty()) return;
    // Two files at a time: each open costs more than its small file's bytes.
    std::vector<FileDigest> copies(pending_.size());
    const auto readCopies = [&] {
        FileReader reader;
        for (size_t i = 0; i < copies.size(); ++i) {
            copies[i] = reader.Digest(JoinPath(folder.destination, pending_[i].relative), ReadFrom::Device);
        }
    };
    std::thread reader;
    try {
        reader = std::thread(readCopies);
    } catch (const std::system_error&) {
        readCopies();  // no thread to be had: one file after the other
    }
    std::vector<FileDigest> originals;
    originals.reserve(pending_.size());
    for (const PendingCopy& pending : pending_) {
        originals.push_back(DigestOfFile(JoinPath(folder.source, pending.relative), ReadFrom::Cache));
    }
    if (reader.joinable()) reader.join();
    for (size_t i = 0; i < pending_.size(); ++i) {
        const PendingCopy& pending = pending_[i];
        const WideString sourcePath = JoinPath(folder.source, pending.relative);
        const FileFacts sourceListed{true, pending.sourceSize, pending.sourceWrite};
        switch (CopyCheckOf(copies[i], originals[i], sourceListed, SourceAfterReading(originals[i], sourcePath))) {
            case CopyCheck::Match:
            case CopyCheck::SourceUnreadable:
                stick_.copies.push_back(CopyReadBack::AsWritten);
                if (!place.empty()) {
                    RecordCopy(RecordPath(place, pending.relative), pending.backupSize, pending.backupWrite,
                               copies[i].digest);
                }
                break;
            case CopyCheck::SourceChanged:
                found->findings.push_back({CopyFinding::Kind::ChangedDuringBackup, sourcePath, WideString()});
                found->complete = false;
                break;
            case CopyCheck::BackupUnreadable:
                found->findings.push_back({CopyFinding::Kind::Unreadable, sourcePath, copies[i].problem});
                found->complete = false;
                break;
            case CopyCheck::Mismatch:
                stick_.copies.push_back(CopyReadBack::Wrong);
                mismatched->push_back(pending.relative);
                break;
        }
    }
    pending_.clear();
}

void CopiesCheck::CheckAgain(const PlannedFolder& folder, const WideString& place, const StringList& mismatched,
                           bool copiedAgain, ReadBackOfCopy* found) {
    for (const WideString& relative : mismatched) {
        const WideString sourcePath = JoinPath(folder.source, relative);
        const WideString backupPath = JoinPath(folder.destination, relative);
        const FileFacts source = FactsOf(sourcePath);
        const FileFacts backup = FactsOf(backupPath);
        // The second copy is read back whenever it landed with the source's
        // size and time, compared as the copy compares times.
        if (copiedAgain && backup.exists && backup.size == source.size &&
            ::SameTime(policy_, backup.lastWrite, source.lastWrite)) {
            const FileDigest copy = DigestOfFile(backupPath, ReadFrom::Device);
            const FileDigest original = DigestOfFile(sourcePath, ReadFrom::Cache);
            if (CopyCheckOf(copy, original, source, FactsOf(sourcePath)) == CopyCheck::Match) {
                if (!place.empty()) RecordCopy(RecordPath(place, relative), backup.size, backup.lastWrite, copy.digest);
                continue;
            }
        }
        // A wrong copy must not stay: the next mirror would take it for up to
        // date. Its earlier version, if it had one, is in the set and goes back.
        if (backup.exists) RemoveBackupFile(backupPath);
        found->findings.push_back({CopyFinding::Kind::Mismatch, sourcePath, WideString()});
        found->complete = false;
    }
}

void CopiesCheck::RecordCopy(const WideString& recordPath, uint64_t size, int64_t lastWrite, const Digest& digest) {
    lists_.Record(recordPath, size, lastWrite, digest);
    if (!recorded_) return;
    ChecksumRecord record;
    record.relative = recordPath;
    record.digest = digest;
    record.size = size;
    record.lastWrite = lastWrite;
    recorded_(record);
}

StringList CopyAgainArguments(const PlannedFolder& folder, const StringList& relatives, unsigned codePage) {
    StringList arguments;
    for (const WideString& relative : relatives) {
        const WideString name = FileNamePart(relative);
        const WideString below = relative.size() > name.size() ? relative.substr(0, relative.size() - name.size() - 1)
                                                               : WideString();
        const WideString source = below.empty() ? folder.source : JoinPath(folder.source, below);
        const WideString backup = below.empty() ? folder.destination : JoinPath(folder.destination, below);
        const WideString argument =
            QuotedFolderElement(source) + L" " + QuotedFolderElement(backup) + L" \"" + name + L"\"";
        if (FitsCodePage(argument, codePage) && argument.find(L'%') == WideString::npos) {
            arguments.push_back(argument);
        }
    }
    return arguments;
}

#include "verify/read_back_rules.h"

namespace {

bool SameFacts(const FileFacts& a, const FileFacts& b) {
    return a.exists == b.exists && a.size == b.size && a.lastWrite == b.lastWrite;
}

}  // namespace

KeptCopyState KeptCopyStateOf(const ChecksumRecord& record, const FileFacts& backup, const FileDigest& readBack,
                              const FileFacts& source) {
    if (!backup.exists || backup.size != record.size || backup.lastWrite != record.lastWrite) {
        return KeptCopyState::Stale;
    }
    if (readBack.read && readBack.bytes == record.size && readBack.digest == record.digest) {
        return KeptCopyState::Sound;
    }
    return source.exists ? KeptCopyState::Repair : KeptCopyState::Damaged;
}

CopyCheck CopyCheckOf(const FileDigest& backup, const FileDigest& source, const FileFacts& sourceBefore,
                      const FileFacts& sourceAfter) {
    if (!SameFacts(sourceBefore, sourceAfter) || (source.read && source.bytes != sourceBefore.size)) {
        return CopyCheck::SourceChanged;
    }
    if (!backup.read) return CopyCheck::BackupUnreadable;
    if (!source.read) return CopyCheck::SourceUnreadable;
    return backup.bytes == source.bytes && backup.digest == source.digest ? CopyCheck::Match : CopyCheck::Mismatch;
}

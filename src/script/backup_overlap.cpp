#include "script/backup_overlap.h"

#include "text/case_text.h"
#include "text/path_text.h"

namespace {

// Whether the path is the folder or lies inside it; rest is what follows.
bool Within(const WideString& path, const WideString& folder, WideString* rest) {
    if (path == folder) {
        rest->clear();
        return true;
    }
    const WideString prefix = AppendSeparator(folder, L'\\');
    if (path.compare(0, prefix.size(), prefix) != 0) return false;
    *rest = path.substr(prefix.size());
    return true;
}

// The inner pair lies inside the outer one by the same relative path on
// both sides.
bool NestedAlike(const CopyFolders& outer, const CopyFolders& inner) {
    WideString destinationRest;
    WideString sourceRest;
    if (!Within(ToLowerText(inner.destination), ToLowerText(outer.destination), &destinationRest)) {
        return false;
    }
    return Within(ToLowerText(inner.source), ToLowerText(outer.source), &sourceRest) &&
           sourceRest == destinationRest;
}

bool DestinationWithin(const CopyFolders& inner, const CopyFolders& outer) {
    WideString rest;
    return Within(ToLowerText(inner.destination), ToLowerText(outer.destination), &rest);
}

}  // namespace

bool BackupFoldersClash(const CopyFolders& earlier, const CopyFolders& later) {
    if (DestinationWithin(later, earlier)) return !NestedAlike(earlier, later);
    if (DestinationWithin(earlier, later)) return !NestedAlike(later, earlier);
    return false;
}

WideString BackupFolderRegister::Accept(const CopyFolders& candidate) {
    const WideString destination = ToLowerText(candidate.destination);
    // Accepted folders at the candidate's destination or above it.
    WideString ancestor = destination;
    for (;;) {
        const auto range = accepted_.equal_range(ancestor);
        for (auto it = range.first; it != range.second; ++it) {
            if (BackupFoldersClash(it->second, candidate)) return it->second.source;
        }
        const size_t separator = ancestor.rfind(L'\\');
        if (separator == kNoPosition || separator == 0) break;
        ancestor.resize(separator);
    }
    // Accepted folders below it: keys from "<destination>\" up to "<destination>]".
    const auto first = accepted_.lower_bound(destination + L"\\");
    const auto last = accepted_.lower_bound(destination + L"]");
    for (auto it = first; it != last; ++it) {
        if (BackupFoldersClash(it->second, candidate)) return it->second.source;
    }
    accepted_.emplace(destination, candidate);
    return WideString();
}

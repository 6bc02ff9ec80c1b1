// Files and folders to move or delete later, at the latest when the object
// goes away; and the expiry of old files at the end of the program.
#pragma once

#include <cstdint>

#include "text/wide_string.h"

class PendingFileOps {
public:
    PendingFileOps() = default;
    PendingFileOps(const PendingFileOps&) = delete;
    PendingFileOps& operator=(const PendingFileOps&) = delete;
    // Carries out the pending work: the copy pass, then the delete pass.
    virtual ~PendingFileOps();

    // Schedules a file or folder for deletion (a folder only when empty by then).
    virtual bool Add(const WideString& path);
    virtual bool AddAll(StringList paths);
    // Schedules a copy to the destination, then the deletion of the source.
    virtual bool AddMove(const WideString& source, const WideString& destination);

    // Copies every pending move whose source exists. A failed copy keeps its
    // source from being deleted.
    virtual bool CopyNow();
    // Deletes every scheduled path once, children before their folders;
    // folders that still hold anything stay. Failures are ignored.
    virtual bool DeleteNow();

    const StringList& Sources() const { return sources_; }

private:
    StringList sources_;
    StringList destinations_;
};

// Whether a file is old enough to expire: not read-only (a failed attribute
// query counts as read-only) and last written at least days × 86400 seconds
// before now.
bool IsExpired(int64_t now, int64_t lastWrite, uint32_t attributes, uint32_t days);

// Whether files may be expired in a folder with these attributes whose
// parent has those: both plain folders, neither a link (a junction planted
// there would lead the deletions into someone else's folder).
//   (directory, directory) => true   (directory | reparse point, directory) => false
//   (directory, directory | reparse point) => false   (missing, directory) => false
bool ExpiresInFolder(uint32_t folderAttributes, uint32_t parentAttributes);

// Schedules the files of the path's folder that match its name pattern
// (stem + "*." + extension: "F:\log\.txt" means *.txt in F:\log) and are
// expired for deletion when the program ends; nothing when the folder or its
// parent is a link (asked again at the end). True when it scheduled nothing.
bool ExpireOldFiles(const WideString& path, uint32_t days);

#include "walk/tree_walk.h"

#include "common/scoped_handle.h"
#include "text/canonical_path.h"
#include "text/case_text.h"
#include "text/path_text.h"
#include "text/system_error.h"
#include "text/messages.h"

namespace {

bool IsDots(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

uint64_t Combine(DWORD high, DWORD low) { return (uint64_t{high} << 32) | low; }

struct Listing {
    ListingEnd end = ListingEnd::Listed;
    DWORD error = 0;
};

// Reads one folder's entries (without "." and ".."), calling add for each.
template <typename Add>
Listing ReadFolder(const WideString& folder, const Add& add) {
    const WideString pattern = JoinPath(LongPathForm(folder), L"*");
    WIN32_FIND_DATAW data;
    const ScopedFindHandle find(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data,
                                                 FindExSearchNameMatch, nullptr,
                                                 FIND_FIRST_EX_LARGE_FETCH));
    if (!find.Valid()) {
        const DWORD error = GetLastError();
        return {FindFirstEnd(error), error};
    }
    do {
        if (!IsDots(data.cFileName)) add(data);
    } while (FindNextFileW(find.Get(), &data));
    const DWORD error = GetLastError();
    return {FindNextEnd(error), error};
}

// The folder's entries sorted by key; false with the problem said when it
// could not be read. A missing folder is empty unless it must be there.
bool ListEntries(const WideString& folder, bool mustExist, FolderEntries* entries,
                 WideString* problem) {
    entries->clear();
    const Listing listing = ReadFolder(folder, [entries](const WIN32_FIND_DATAW& data) {
        FolderEntry entry;
        entry.name = data.cFileName;
        entry.key = FoldedKey(entry.name);
        entry.directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entry.reparsePoint = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        entry.size = Combine(data.nFileSizeHigh, data.nFileSizeLow);
        entry.lastWrite = static_cast<int64_t>(
            Combine(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime));
        entries->push_back(std::move(entry));
    });
    if (listing.end == ListingEnd::Failed) {
        *problem = Say(Message::CouldNotBeRead, {SystemReason(listing.error)});
        return false;
    }
    if (listing.end == ListingEnd::Missing && mustExist) {
        *problem = Say(Message::FolderGone);
        return false;
    }
    SortByKey(entries);
    return true;
}

}  // namespace

bool VisitFolder(const WideString& folder, const std::function<void(const WIN32_FIND_DATAW&)>& visit) {
    return ReadFolder(folder, visit).end == ListingEnd::Listed;
}

ListingEnd FindFirstEnd(DWORD error) {
    if (error == ERROR_FILE_NOT_FOUND) return ListingEnd::Listed;
    if (error == ERROR_PATH_NOT_FOUND) return ListingEnd::Missing;
    return ListingEnd::Failed;
}

ListingEnd FindNextEnd(DWORD error) {
    return error == ERROR_NO_MORE_FILES ? ListingEnd::Listed : ListingEnd::Failed;
}

TreeComparison CompareTrees(const CopyPolicy& policy, uint64_t clusterBytes,
                            const WideString& source, const WideString& backup,
                            const TakenFileVisitor& visit) {
    return CompareTreesWith(policy, clusterBytes,
                            [&](bool inBackup, const WideString& relative, FolderEntries* entries,
                                WideString* problem) {
                                const WideString& root = inBackup ? backup : source;
                                const bool mustExist = !inBackup && relative.empty();
                                return ListEntries(JoinPath(root, relative), mustExist, entries, problem);
                            },
                            visit);
}

uint64_t CountFilesPlainly(const WideString& folder) {
    uint64_t count = 0;
    std::vector<WideString> pending = {folder};
    while (!pending.empty()) {
        const WideString path = std::move(pending.back());
        pending.pop_back();
        ReadFolder(path, [&](const WIN32_FIND_DATAW& data) {
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                pending.push_back(JoinPath(path, data.cFileName));
            } else {
                ++count;
            }
        });
    }
    return count;
}

FileFacts FactsOf(const WideString& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    FileFacts facts;
    if (!GetFileAttributesExW(LongPathForm(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return facts;
    }
    facts.exists = true;
    facts.size = (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    facts.lastWrite = static_cast<int64_t>((uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) |
                                           data.ftLastWriteTime.dwLowDateTime);
    return facts;
}

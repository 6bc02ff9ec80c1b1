#include "job/tree_listing.h"

#include <vector>

#include "common/scoped_handle.h"
#include "text/case_text.h"
#include "text/path_text.h"

namespace {

bool IsDots(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

// Calls visit(entry, relative) for every entry below the folder, not going
// into folders that enter() refuses.
template <typename Enter, typename Visit>
void Walk(const WideString& folder, const Enter& enter, const Visit& visit) {
    std::vector<WideString> pending = {WideString()};
    while (!pending.empty()) {
        const WideString relative = pending.back();
        pending.pop_back();
        const WideString pattern = JoinPath(JoinPath(folder, relative), L"*");
        WIN32_FIND_DATAW entry;
        const ScopedFindHandle find(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &entry,
                                               FindExSearchNameMatch, nullptr,
                                               FIND_FIRST_EX_LARGE_FETCH));
        if (!find.Valid()) continue;
        do {
            if (IsDots(entry.cFileName)) continue;
            const WideString path = relative.empty() ? WideString(entry.cFileName)
                                                     : relative + L"\\" + entry.cFileName;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (enter(entry)) pending.push_back(path);
                continue;
            }
            visit(entry, path);
        } while (FindNextFileW(find.Get(), &entry));
    }
}

uint64_t Combine(DWORD high, DWORD low) { return (uint64_t{high} << 32) | low; }

}  // namespace

TreeListing ListTree(const WideString& folder, const CopyPolicy& policy) {
    TreeListing listing;
    const auto enter = [&](const WIN32_FIND_DATAW& entry) {
        if (policy.skipJunctions && (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
        return !ExcludesDir(policy, entry.cFileName);
    };
    const auto visit = [&](const WIN32_FIND_DATAW& entry, const WideString& path) {
        if (ExcludesFile(policy, entry.cFileName)) return;
        ListedFile file;
        file.relative = path;
        file.size = Combine(entry.nFileSizeHigh, entry.nFileSizeLow);
        file.lastWrite = static_cast<int64_t>(
            Combine(entry.ftLastWriteTime.dwHighDateTime, entry.ftLastWriteTime.dwLowDateTime));
        listing.emplace(ToLowerText(path), file);
    };
    Walk(folder, enter, visit);
    return listing;
}

uint64_t CountFilesPlainly(const WideString& folder) {
    uint64_t count = 0;
    Walk(folder, [](const WIN32_FIND_DATAW&) { return true; },
         [&](const WIN32_FIND_DATAW&, const WideString&) { ++count; });
    return count;
}

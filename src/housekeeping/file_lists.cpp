#include "housekeeping/file_lists.h"

#include <algorithm>

#include "common/windows_headers.h"
#include "config/directory_ops.h"
#include "text/case_text.h"
#include "text/file_status.h"
#include "text/path_text.h"
#include "text/split_join.h"

namespace {

// The folder a listing is about: the path itself, or the folder of a file.
WideString FolderToList(const WideString& path) {
    const WideString stripped = StripTrailingSeparator(path);
    if (stripped.empty() || !PathExists(stripped, false)) return WideString();
    if (DirectoryExists(stripped)) return stripped;
    return ParentPath(stripped);
}

bool IsDots(const wchar_t* name) { return wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0; }

// Calls visit(entry) for each entry of the folder; false when it cannot be listed.
template <typename Visit>
bool ForEachEntry(const WideString& folder, Visit visit) {
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((folder + L"\\*.*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return false;
    do {
        visit(entry);
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    return true;
}

bool EndsWith(const WideString& text, const WideString& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

StringList ListFolder(const WideString& path, bool skipDots) {
    StringList entries;
    const WideString folder = FolderToList(path);
    if (folder.empty()) return entries;
    ForEachEntry(folder, [&](const WIN32_FIND_DATAW& entry) {
        if (skipDots && IsDots(entry.cFileName)) return;
        WideString item = folder + L"\\" + entry.cFileName;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) item += L"\\";
        entries.push_back(item);
    });
    return entries;
}

StringList ListMatchingFiles(const WideString& path, const WideString& pattern) {
    StringList files;
    for (const WideString& entry : ListFolder(path, true)) {
        if (IsSeparator(entry.back())) continue;
        if (MatchesPattern(entry, pattern)) files.push_back(entry);
    }
    return files;
}

bool MatchesPattern(const WideString& path, const WideString& pattern) {
    const WideString name = ToLowerText(FileNamePart(path));
    const WideString lowered = ToLowerText(pattern);
    if (lowered.empty() || lowered == L"*") return true;
    if (lowered == L"*.*") return name.find(L'.') != kNoPosition;

    StringList pieces;
    for (const WideString& piece : SplitOnChar(lowered, L'*')) {
        if (!piece.empty()) pieces.push_back(piece);
    }
    size_t searchFrom = 0;
    for (const WideString& piece : pieces) {
        const size_t found = name.find(piece, searchFrom);
        if (found == kNoPosition) return false;
        searchFrom = found + piece.size();
    }
    if (pieces.empty()) return true;
    if (lowered.front() != L'*' && name.compare(0, pieces.front().size(), pieces.front()) != 0) {
        return false;
    }
    return lowered.back() == L'*' || EndsWith(name, pieces.back());
}

StringList SortedList(StringList list) {
    std::sort(list.begin(), list.end());
    return list;
}

StringList ReversedList(StringList list) {
    std::reverse(list.begin(), list.end());
    return list;
}

StringList SortedUniqueList(StringList list) {
    list = SortedList(std::move(list));
    list.erase(std::unique(list.begin(), list.end()), list.end());
    return list;
}

bool IsFolderEmpty(const WideString& path) {
    WideString folder = StripTrailingSeparator(path);
    if (!DirectoryExists(folder)) folder = ParentPath(folder);
    bool hasEntry = false;
    ForEachEntry(folder, [&](const WIN32_FIND_DATAW& entry) {
        if (!IsDots(entry.cFileName)) hasEntry = true;
    });
    return !hasEntry;
}

WideString FileNameExtension(const WideString& path) {
    const WideString name = FileNamePart(path);
    if (name.empty() || name == L" " || name.find(L'?') != kNoPosition) return WideString();
    const size_t dot = name.rfind(L'.');
    return dot == kNoPosition ? WideString() : name.substr(dot + 1);
}

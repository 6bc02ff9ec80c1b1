#include "mirror.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <map>
#include <vector>

namespace {

constexpr int64_t kTicksPerSecond = 10000000;

struct Entry {
    std::wstring name;
    bool directory = false;
    bool reparse = false;
    uint64_t size = 0;
    int64_t writeTime = 0;
};

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

int64_t TicksOf(const FILETIME& time) {
    return static_cast<int64_t>((static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
}

std::map<std::wstring, Entry> ListEntries(const std::wstring& folder) {
    std::map<std::wstring, Entry> entries;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return entries;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        Entry entry;
        entry.name = name;
        entry.directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entry.reparse = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        entry.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        entry.writeTime = TicksOf(data.ftLastWriteTime);
        entries[Lower(name)] = entry;
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return entries;
}

std::wstring FullPath(const std::wstring& path) {
    wchar_t buffer[32768];
    const DWORD length = GetFullPathNameW(path.c_str(), 32768, buffer, nullptr);
    if (length == 0 || length >= 32768) return path;
    std::wstring full(buffer, length);
    while (full.size() > 3 && (full.back() == L'\\' || full.back() == L'/')) full.pop_back();
    return full;
}

std::wstring WithSeparator(const std::wstring& path) {
    return !path.empty() && path.back() == L'\\' ? path : path + L"\\";
}

struct Counts {
    uint64_t total = 0, copied = 0, skipped = 0, mismatch = 0, failed = 0, extras = 0;
};

class Mirror {
public:
    Mirror(const RobocopyOptions& options, std::wstring* report)
        : o_(options), report_(*report) {
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        now_ = TicksOf(now);
        source_ = FullPath(o_.source);
        destination_ = FullPath(o_.destination);
    }

    int Run() {
        Header();
        const DWORD sourceAttributes = GetFileAttributesW(source_.c_str());
        if (sourceAttributes == INVALID_FILE_ATTRIBUTES ||
            !(sourceAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            Line(L"ERROR 2 (0x00000002) Accessing Source Directory " + WithSeparator(source_));
            Line(L"The system cannot find the file specified.");
            return kSeriousError;
        }
        if (!o_.listOnly && !MakeFolderChain(destination_)) {
            Line(L"ERROR 5 (0x00000005) Creating Destination Directory " + WithSeparator(destination_));
            return kSeriousError;
        }
        Folder(source_, destination_, 1);
        Summary();
        return bits_;
    }

private:
    void Line(const std::wstring& text) { report_ += text + L"\r\n"; }

    void Header() {
        const std::wstring rule(79, L'-');
        Line(rule);
        Line(L"   ROBOCOPY     ::     Robust File Copy for Windows     (test work-alike)");
        Line(rule);
        Line(L"   Source : " + WithSeparator(source_));
        Line(L"     Dest : " + WithSeparator(destination_));
        std::wstring list;
        for (const auto& spec : o_.includeSpecs) list += spec + L" ";
        Line(L"    Files : " + (list.empty() ? std::wstring(L"*.*") : list));
        if (!o_.excludeFiles.empty()) {
            list.clear();
            for (const auto& pattern : o_.excludeFiles) list += pattern + L" ";
            Line(L"Exc Files : " + list);
        }
        if (!o_.excludeDirs.empty()) {
            list.clear();
            for (const auto& pattern : o_.excludeDirs) list += pattern + L" ";
            Line(L" Exc Dirs : " + list);
        }
        Line(L"  Options : " + OptionsSummary(o_));
        Line(rule);
    }

    void Summary() {
        Line(std::wstring(79, L'-'));
        Line(L"            Total    Copied   Skipped  Mismatch    FAILED    Extras");
        Row(L"    Dirs :", dirs_);
        Row(L"   Files :", files_);
        Line(L"   Bytes : " + std::to_wstring(bytesCopied_) + L" copied");
    }

    void Row(const std::wstring& label, const Counts& c) {
        wchar_t text[160];
        swprintf(text, 160, L"%ls %8llu  %8llu  %8llu  %8llu  %8llu  %8llu", label.c_str(),
                 static_cast<unsigned long long>(c.total), static_cast<unsigned long long>(c.copied),
                 static_cast<unsigned long long>(c.skipped), static_cast<unsigned long long>(c.mismatch),
                 static_cast<unsigned long long>(c.failed), static_cast<unsigned long long>(c.extras));
        Line(text);
    }

    // Every write goes below the destination; the source is never touched.
    bool InsideDestination(const std::wstring& path) const {
        const std::wstring root = Lower(WithSeparator(destination_));
        const std::wstring lowered = Lower(path);
        return lowered == Lower(destination_) || lowered.compare(0, root.size(), root) == 0;
    }

    // Creates the folder and its missing parents (parents above the
    // destination root included, as robocopy makes the destination chain).
    bool MakeFolderChain(const std::wstring& folder) {
        if (!InsideDestination(folder)) return false;
        return CreateChain(folder);
    }

    static bool CreateChain(const std::wstring& folder) {
        const DWORD attributes = GetFileAttributesW(folder.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const size_t separator = folder.find_last_of(L'\\');
        if (separator != std::wstring::npos && separator > 2 &&
            !CreateChain(folder.substr(0, separator))) {
            return false;
        }
        return CreateDirectoryW(folder.c_str(), nullptr) != 0;
    }

    bool DeleteTree(const std::wstring& path) {
        if (!InsideDestination(path)) return false;
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return true;
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return DeleteFileW(path.c_str()) != 0;
        if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            for (const auto& item : ListEntries(path)) DeleteTree(path + L"\\" + item.second.name);
        }
        return RemoveDirectoryW(path.c_str()) != 0;
    }

    bool Included(const std::wstring& name) const {
        if (o_.includeSpecs.empty()) return true;
        for (const auto& spec : o_.includeSpecs) {
            if (spec == L"*.*" || WildcardMatch(name, spec)) return true;
        }
        return false;
    }

    static bool MatchesAny(const std::vector<std::wstring>& patterns, const std::wstring& name,
                           const std::wstring& fullPath) {
        for (const auto& pattern : patterns) {
            const bool isPath = pattern.find_first_of(L"\\/") != std::wstring::npos;
            if (isPath ? Lower(FullPath(pattern)) == Lower(fullPath) : WildcardMatch(name, pattern)) {
                return true;
            }
        }
        return false;
    }

    bool Filtered(const Entry& file) const {
        if (o_.hasMaxSize && file.size > o_.maxSize) return true;
        if (o_.hasMinSize && file.size < o_.minSize) return true;
        if (o_.hasMaxAge && file.writeTime < AgeCutoff(o_.maxAge, now_)) return true;
        if (o_.hasMinAge && file.writeTime > AgeCutoff(o_.minAge, now_)) return true;
        return false;
    }

    void CopyFile(const std::wstring& from, const std::wstring& to, const Entry& file,
                  const std::wstring& tag) {
        Line(L"\t  " + tag + L"\t\t" + std::to_wstring(file.size) + L"\t" + from);
        if (o_.listOnly) {
            ++files_.copied;
            bits_ |= kCopiedFiles;
            return;
        }
        const std::wstring folder = to.substr(0, to.find_last_of(L'\\'));
        for (uint32_t attempt = 0;; ++attempt) {
            if (MakeFolderChain(folder)) {
                SetFileAttributesW(to.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (::CopyFileW(from.c_str(), to.c_str(), FALSE)) break;
            }
            const DWORD error = GetLastError();
            if (attempt >= o_.retries) {
                Line(L"ERROR " + std::to_wstring(error) + L" Copying File " + from);
                ++files_.failed;
                bits_ |= kFailures;
                return;
            }
            Line(L"Waiting " + std::to_wstring(o_.waitSeconds) + L" seconds... Retrying...");
            Sleep(o_.waitSeconds * 1000);
        }
        AfterCopyForTests(from, to, file);
        ++files_.copied;
        bytesCopied_ += file.size;
        bits_ |= kCopiedFiles;
    }

    // Faults a scenario asks for by file name: a copy whose bytes the copy
    // itself got wrong (its size and times kept), spoiled every time or
    // only while the marker file BRISK_TEST_SPOIL_MARK does not exist yet;
    // and a source changed while it is copied.
    static void AfterCopyForTests(const std::wstring& from, const std::wstring& to, const Entry& file) {
        const std::wstring name = to.substr(to.find_last_of(L'\\') + 1);
        if (NamedInEnvironment(L"BRISK_TEST_SPOIL_COPY", name) && file.size != 0 && SpoilNow()) {
            const HANDLE copy = CreateFileW(to.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            FILETIME created, accessed, written;
            char byte = 0;
            DWORD done = 0;
            GetFileTime(copy, &created, &accessed, &written);
            ReadFile(copy, &byte, 1, &done, nullptr);
            byte = static_cast<char>(byte ^ 0x20);
            SetFilePointer(copy, 0, nullptr, FILE_BEGIN);
            WriteFile(copy, &byte, 1, &done, nullptr);
            SetFileTime(copy, &created, &accessed, &written);
            CloseHandle(copy);
        }
        if (NamedInEnvironment(L"BRISK_TEST_TOUCH_SOURCE", name)) {
            Sleep(2100);  // past the two seconds FAT times allow
            const HANDLE source = CreateFileW(from.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
            DWORD done = 0;
            WriteFile(source, "+", 1, &done, nullptr);
            CloseHandle(source);
        }
    }

    static bool NamedInEnvironment(const wchar_t* variable, const std::wstring& name) {
        wchar_t value[1024] = {};
        const DWORD length = GetEnvironmentVariableW(variable, value, 1024);
        return length != 0 && length < 1024 && CompareStringOrdinal(value, -1, name.c_str(), -1, TRUE) == CSTR_EQUAL;
    }

    static bool SpoilNow() {
        wchar_t mark[1024] = {};
        const DWORD length = GetEnvironmentVariableW(L"BRISK_TEST_SPOIL_MARK", mark, 1024);
        if (length == 0 || length >= 1024) return true;
        const HANDLE file = CreateFileW(mark, GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        CloseHandle(file);
        return true;
    }

    void Files(const std::wstring& from, const std::wstring& to,
               const std::map<std::wstring, Entry>& source, std::map<std::wstring, Entry>& target) {
        for (const auto& item : source) {
            const Entry& file = item.second;
            if (file.directory || !Included(file.name)) continue;
            const std::wstring sourcePath = from + L"\\" + file.name;
            if (MatchesAny(o_.excludeFiles, file.name, sourcePath)) continue;
            ++files_.total;
            if (Filtered(file)) {
                ++files_.skipped;
                continue;
            }
            const std::wstring targetPath = to + L"\\" + file.name;
            auto existing = target.find(item.first);
            std::wstring tag = L"New File";
            if (existing != target.end() && existing->second.directory) {
                ++files_.mismatch;
                bits_ |= kMismatches;
                Line(L"\t*MISMATCH\t\t" + targetPath);
                if (!o_.purge) continue;
                if (!o_.listOnly) DeleteTree(targetPath);
                target.erase(existing);
            } else if (existing != target.end()) {
                const Entry& old = existing->second;
                if (SameTime(file.writeTime, old.writeTime, o_.fatTimes)) {
                    if (file.size == old.size) {
                        ++files_.skipped;
                        continue;
                    }
                    tag = L"Changed";
                } else if (file.writeTime > old.writeTime) {
                    tag = L"Newer";
                } else {
                    if (o_.excludeOlder) {
                        ++files_.skipped;
                        continue;
                    }
                    tag = L"Older";
                }
            }
            CopyFile(sourcePath, targetPath, file, tag);
        }
        if (o_.excludeExtra) return;
        for (const auto& item : target) {
            const Entry& file = item.second;
            if (file.directory || !Included(file.name)) continue;
            if (source.count(item.first) != 0 && !source.at(item.first).directory) continue;
            if (MatchesAny(o_.excludeFiles, file.name, to + L"\\" + file.name)) continue;
            ++files_.extras;
            bits_ |= kExtraEntries;
            Line(L"\t*EXTRA File\t\t" + std::to_wstring(file.size) + L"\t" + to + L"\\" + file.name);
            if (o_.purge && !o_.listOnly) DeleteTree(to + L"\\" + file.name);
        }
    }

    void Folder(const std::wstring& from, const std::wstring& to, uint32_t level) {
        ++dirs_.total;
        auto source = ListEntries(from);
        auto target = ListEntries(to);
        Line(L"\t\t\t" + std::to_wstring(source.size()) + L"\t" + WithSeparator(from));
        Files(from, to, source, target);

        if (!o_.subdirectories || (o_.levels != 0 && level >= o_.levels)) return;
        for (const auto& item : source) {
            const Entry& folder = item.second;
            if (!folder.directory) continue;
            const std::wstring sourcePath = from + L"\\" + folder.name;
            const std::wstring targetPath = to + L"\\" + folder.name;
            if (MatchesAny(o_.excludeDirs, folder.name, sourcePath)) continue;
            if (o_.excludeJunctions && folder.reparse) continue;
            if (Lower(sourcePath) == Lower(destination_)) continue;  // never copy into itself
            auto existing = target.find(item.first);
            if (existing != target.end() && !existing->second.directory) {
                ++dirs_.mismatch;
                bits_ |= kMismatches;
                Line(L"\t*MISMATCH\t\t" + targetPath);
                if (!o_.purge) continue;
                if (!o_.listOnly) DeleteTree(targetPath);
                target.erase(existing);
                existing = target.end();
            }
            if (existing == target.end() && o_.emptySubdirectories) {
                Line(L"\t  New Dir\t\t" + WithSeparator(sourcePath));
                ++dirs_.copied;
                if (!o_.listOnly) MakeFolderChain(targetPath);
            }
            Folder(sourcePath, targetPath, level + 1);
        }
        if (o_.excludeExtra) return;
        for (const auto& item : target) {
            const Entry& folder = item.second;
            if (!folder.directory) continue;
            if (source.count(item.first) != 0 && source.at(item.first).directory) continue;
            const std::wstring targetPath = to + L"\\" + folder.name;
            if (MatchesAny(o_.excludeDirs, folder.name, targetPath)) continue;
            ++dirs_.extras;
            bits_ |= kExtraEntries;
            Line(L"\t*EXTRA Dir\t\t" + WithSeparator(targetPath));
            if (o_.purge && !o_.listOnly) DeleteTree(targetPath);
        }
    }

    const RobocopyOptions& o_;
    std::wstring& report_;
    int64_t now_ = 0;
    std::wstring source_;
    std::wstring destination_;
    Counts dirs_;
    Counts files_;
    uint64_t bytesCopied_ = 0;
    int bits_ = 0;
};

}  // namespace

bool WildcardMatch(const std::wstring& name, const std::wstring& pattern) {
    const std::wstring n = Lower(name);
    const std::wstring p = Lower(pattern);
    size_t i = 0, j = 0, star = std::wstring::npos, mark = 0;
    while (i < n.size()) {
        if (j < p.size() && (p[j] == L'?' || p[j] == n[i])) {
            ++i;
            ++j;
        } else if (j < p.size() && p[j] == L'*') {
            star = j++;
            mark = i;
        } else if (star != std::wstring::npos) {
            j = star + 1;
            i = ++mark;
        } else {
            return false;
        }
    }
    while (j < p.size() && p[j] == L'*') ++j;
    return j == p.size();
}

bool SameTime(int64_t a, int64_t b, bool fatTimes) {
    const int64_t difference = a > b ? a - b : b - a;
    return fatTimes ? difference <= 2 * kTicksPerSecond : difference == 0;
}

int64_t AgeCutoff(uint64_t age, int64_t now) {
    if (age < 1900) return now - static_cast<int64_t>(age) * 86400 * kTicksPerSecond;
    SYSTEMTIME local = {};
    local.wYear = static_cast<WORD>(age / 10000);
    local.wMonth = static_cast<WORD>(age / 100 % 100);
    local.wDay = static_cast<WORD>(age % 100);
    FILETIME localTime, utc;
    if (!SystemTimeToFileTime(&local, &localTime) || !LocalFileTimeToFileTime(&localTime, &utc)) {
        return 0;
    }
    return TicksOf(utc);
}

int RunMirror(const RobocopyOptions& options, std::wstring* report) {
    return Mirror(options, report).Run();
}

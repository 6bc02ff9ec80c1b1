#include "text/canonical_path.h"

#include "text/case_text.h"
#include "text/path_text.h"
#include "text/split_join.h"
#include "text/messages.h"

namespace {


bool IsAsciiLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

bool HasDrive(const WideString& path) {
    return path.size() >= 2 && path[1] == L':' && IsAsciiLetter(path[0]);
}

bool IsUnc(const WideString& path) { return path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\'; }

bool IsAbsoluteDrivePath(const WideString& path) {
    return HasDrive(path) && path.size() >= 3 && path[2] == L'\\';
}

bool StartsWithNoCase(const WideString& text, const WideString& start) {
    return text.size() >= start.size() && ToLowerText(text.substr(0, start.size())) == ToLowerText(start);
}

WideString WithBackslashes(WideString path) {
    for (wchar_t& c : path) {
        if (c == L'/') c = L'\\';
    }
    return path;
}

// "\\?\C:\x" => "C:\x", "\\?\UNC\srv\s" => "\\srv\s", "\\.\C:\x" => "C:\x".
// Sets *hadPrefix so that the caller can insist on an absolute rest.
WideString WithoutDevicePrefix(const WideString& path, bool* hadPrefix) {
    *hadPrefix = true;
    if (StartsWithNoCase(path, L"\\\\?\\UNC\\")) return L"\\\\" + path.substr(8);
    if (StartsWithNoCase(path, L"\\\\?\\") || StartsWithNoCase(path, L"\\\\.\\")) {
        return path.substr(4);
    }
    *hadPrefix = false;
    return path;
}

// Windows drops trailing blanks and dots from every name.
WideString TrimmedName(const WideString& name) {
    size_t end = name.size();
    while (end > 0 && (name[end - 1] == L' ' || name[end - 1] == L'.')) --end;
    return name.substr(0, end);
}

bool HasInvalidCharacter(const WideString& name) {
    for (const wchar_t c : name) {
        if (c < 32 || WideString(L"<>:\"|?*").find(c) != kNoPosition) return true;
    }
    return false;
}

// Appends the components of rest to names, resolving "." and "..".
// Returns the problem, or empty.
WideString ResolveComponents(const WideString& rest, StringList* names) {
    for (const WideString& component : SplitOnChar(rest, L'\\')) {
        if (component.empty() || component == L".") continue;
        if (component == L"..") {
            if (!names->empty()) names->pop_back();
            continue;
        }
        const WideString name = TrimmedName(component);
        if (name.empty()) return Say(Message::DotsOnlyName);
        if (HasInvalidCharacter(name)) return Say(Message::BadCharacter);
        names->push_back(name);
    }
    return WideString();
}

CanonicalPath Problem(const WideString& problem) { return CanonicalPath{WideString(), problem}; }

// The root ("C:" or "\\srv\share") and the rest of an absolute path.
bool SplitRoot(const WideString& path, WideString* root, WideString* rest) {
    if (IsAbsoluteDrivePath(path)) {
        *root = path.substr(0, 2);
        *rest = path.substr(3);
        return true;
    }
    if (!IsUnc(path)) return false;
    const StringList parts = SplitOnChar(path.substr(2), L'\\');
    if (parts.size() < 2) return false;
    const WideString& server = parts[0];
    const WideString& share = parts[1];
    for (const WideString& name : {server, share}) {
        if (name.empty() || TrimmedName(name) != name || HasInvalidCharacter(name)) return false;
    }
    *root = L"\\\\" + server + L"\\" + share;
    const size_t restStart = 2 + server.size() + 1 + share.size() + 1;
    *rest = restStart < path.size() ? path.substr(restStart) : WideString();
    return true;
}

CanonicalPath CanonicalAbsolute(const WideString& path) {
    WideString root;
    WideString rest;
    if (!SplitRoot(path, &root, &rest)) return Problem(Say(Message::NotAbsolute));
    StringList names;
    const WideString problem = ResolveComponents(rest, &names);
    if (!problem.empty()) return Problem(problem);
    if (names.empty()) return CanonicalPath{IsUnc(root) ? root : root + L"\\", WideString()};
    return CanonicalPath{root + L"\\" + JoinWithChar(names, L'\\'), WideString()};
}

// The relative path made absolute against the current folder, or empty.
WideString Absolute(const WideString& path, const WideString& currentFolder) {
    if (currentFolder.empty()) return WideString();
    const CanonicalPath current = CanonicalAbsolute(WithBackslashes(currentFolder));
    if (!current.problem.empty()) return WideString();
    if (HasDrive(path)) {
        const bool sameDrive = HasDrive(current.path) && (path[0] | 0x20) == (current.path[0] | 0x20);
        const WideString base = sameDrive ? current.path : path.substr(0, 2) + L"\\";
        return JoinPath(base, path.substr(2));
    }
    if (!path.empty() && path[0] == L'\\') {
        WideString root;
        WideString rest;
        SplitRoot(AppendSeparator(current.path, L'\\'), &root, &rest);
        return root + path;
    }
    return JoinPath(current.path, path);
}

}  // namespace

CanonicalPath CanonicalPathOf(const WideString& path, const WideString& currentFolder) {
    bool hadPrefix = false;
    const WideString text = WithoutDevicePrefix(WithBackslashes(path), &hadPrefix);
    if (text.empty()) return Problem(Say(Message::EmptyPath));
    if (IsAbsoluteDrivePath(text) || IsUnc(text)) return CanonicalAbsolute(text);
    if (hadPrefix) return Problem(Say(Message::NotAbsolute));
    const WideString absolute = Absolute(text, currentFolder);
    if (absolute.empty()) return Problem(Say(Message::NotAbsolute));
    return CanonicalAbsolute(absolute);
}

WideString PathBelow(const WideString& path, const WideString& folder) {
    if (path.size() <= folder.size() + 1 || !PathWithin(path, folder)) return WideString();
    return path.substr(folder.size() + 1);
}

bool PathWithin(const WideString& path, const WideString& folder) {
    const WideString lowerPath = ToLowerText(path);
    const WideString lowerFolder = ToLowerText(folder);
    if (lowerPath == lowerFolder) return true;
    const WideString prefix = AppendSeparator(lowerFolder, L'\\');
    return lowerPath.size() > prefix.size() && lowerPath.compare(0, prefix.size(), prefix) == 0;
}

WideString LongPathForm(const WideString& canonical) {
    if (canonical.compare(0, 4, L"\\\\?\\") == 0) return canonical;
    if (canonical.size() >= 3 && canonical[1] == L':' && canonical[2] == L'\\') return L"\\\\?\\" + canonical;
    if (canonical.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + canonical.substr(2);
    return canonical;
}

bool HasNameEndingInBlankOrDot(const WideString& path) {
    bool hadPrefix = false;
    const StringList names = SplitOnChar(WithoutDevicePrefix(WithBackslashes(path), &hadPrefix), L'\\');
    for (size_t i = 0; i < names.size(); ++i) {
        const WideString& name = names[i];
        const bool drive = i == 0 && name.size() >= 2 && name[1] == L':';  // "C:" or "C:."
        if (drive || name.empty() || name == L"." || name == L"..") continue;
        if (name.back() == L' ' || name.back() == L'.') return true;
    }
    return false;
}

#include "options.h"

#include <cwctype>

namespace {

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

bool ParseNumber(const std::wstring& text, uint64_t* value) {
    if (text.empty() || text.size() > 20) return false;
    uint64_t result = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9') return false;
        const uint64_t digit = static_cast<uint64_t>(c - L'0');
        if (result > (UINT64_MAX - digit) / 10) return false;
        result = result * 10 + digit;
    }
    *value = result;
    return true;
}

// "/name:value" with a known name; false when the token is another switch.
bool ValueOf(const std::wstring& lowered, const std::wstring& name, std::wstring* value) {
    const std::wstring prefix = L"/" + name + L":";
    if (lowered.compare(0, prefix.size(), prefix) != 0) return false;
    *value = lowered.substr(prefix.size());
    return true;
}

bool IsSwitch(const std::wstring& token) {
    // A token with more than one slash is a path such as //server/share.
    return !token.empty() && token[0] == L'/' && token.find(L'/', 1) == std::wstring::npos;
}

enum class ListMode { Specs, ExcludeFiles, ExcludeDirs };

}  // namespace

ParseResult ParseRobocopyArguments(const std::vector<std::wstring>& arguments) {
    ParseResult result;
    RobocopyOptions& o = result.options;
    ListMode mode = ListMode::Specs;
    size_t positional = 0;
    const auto reject = [&](size_t index) {
        result.badPosition = index + 1;
        result.error = L"ERROR : Invalid Parameter #" + std::to_wstring(index + 1) + L" : \"" +
                       arguments[index] + L"\"";
        return result;
    };

    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& token = arguments[i];
        if (!IsSwitch(token)) {
            if (positional == 0) {
                o.source = token;
            } else if (positional == 1) {
                o.destination = token;
            } else if (mode == ListMode::ExcludeFiles) {
                o.excludeFiles.push_back(token);
            } else if (mode == ListMode::ExcludeDirs) {
                const bool hasPath = token.find_first_of(L"\\/") != std::wstring::npos;
                const bool hasWildcard = token.find_first_of(L"*?") != std::wstring::npos;
                if (hasPath && hasWildcard) return reject(i);
                o.excludeDirs.push_back(token);
            } else {
                o.includeSpecs.push_back(token);
            }
            ++positional;
            continue;
        }
        const std::wstring s = Lower(token);
        std::wstring value;
        uint64_t number = 0;
        if (s == L"/s") {
            o.subdirectories = true;
        } else if (s == L"/e") {
            o.subdirectories = o.emptySubdirectories = true;
        } else if (s == L"/purge") {
            o.purge = true;
        } else if (s == L"/mir") {
            o.mirror = o.purge = o.subdirectories = o.emptySubdirectories = true;
        } else if (s == L"/fft") {
            o.fatTimes = true;
        } else if (s == L"/xo") {
            o.excludeOlder = true;
        } else if (s == L"/xx") {
            o.excludeExtra = true;
        } else if (s == L"/xjd") {
            o.excludeJunctions = true;
        } else if (s == L"/l") {
            o.listOnly = true;
        } else if (s == L"/xf") {
            mode = ListMode::ExcludeFiles;
        } else if (s == L"/xd") {
            mode = ListMode::ExcludeDirs;
        } else if (ValueOf(s, L"r", &value)) {
            if (!ParseNumber(value, &number) || number > UINT32_MAX) return reject(i);
            o.retries = static_cast<uint32_t>(number);
        } else if (ValueOf(s, L"w", &value)) {
            if (!ParseNumber(value, &number) || number > UINT32_MAX) return reject(i);
            o.waitSeconds = static_cast<uint32_t>(number);
        } else if (ValueOf(s, L"lev", &value)) {
            if (!ParseNumber(value, &number) || number > UINT32_MAX) return reject(i);
            o.levels = static_cast<uint32_t>(number);
        } else if (ValueOf(s, L"maxage", &value)) {
            if (!ParseNumber(value, &o.maxAge)) return reject(i);
            o.hasMaxAge = true;
        } else if (ValueOf(s, L"minage", &value)) {
            if (!ParseNumber(value, &o.minAge)) return reject(i);
            o.hasMinAge = true;
        } else if (ValueOf(s, L"min", &value)) {
            if (!ParseNumber(value, &o.minSize)) return reject(i);
            o.hasMinSize = true;
        } else if (ValueOf(s, L"max", &value)) {
            if (!ParseNumber(value, &o.maxSize)) return reject(i);
            o.hasMaxSize = true;
        } else {
            return reject(i);
        }
    }
    if (o.source.empty()) {
        result.error = L"ERROR : No Source Directory Specified.";
        return result;
    }
    if (o.destination.empty()) {
        result.error = L"ERROR : No Destination Directory Specified.";
        return result;
    }
    result.ok = true;
    return result;
}

std::wstring OptionsSummary(const RobocopyOptions& o) {
    std::wstring text;
    if (o.includeSpecs.empty()) text += L"*.* ";
    for (const std::wstring& spec : o.includeSpecs) text += spec + L" ";
    if (o.listOnly) text += L"/L ";
    if (o.subdirectories) text += L"/S ";
    if (o.emptySubdirectories) text += L"/E ";
    if (o.levels != 0) text += L"/LEV:" + std::to_wstring(o.levels) + L" ";
    text += L"/DCOPY:DA /COPY:DAT ";
    if (o.purge) text += L"/PURGE ";
    if (o.mirror) text += L"/MIR ";
    if (o.fatTimes) text += L"/FFT ";
    if (o.excludeOlder) text += L"/XO ";
    if (o.excludeExtra) text += L"/XX ";
    if (o.excludeJunctions) text += L"/XJD ";
    if (o.hasMinSize) text += L"/MIN:" + std::to_wstring(o.minSize) + L" ";
    if (o.hasMaxSize) text += L"/MAX:" + std::to_wstring(o.maxSize) + L" ";
    if (o.hasMaxAge) text += L"/MAXAGE:" + std::to_wstring(o.maxAge) + L" ";
    if (o.hasMinAge) text += L"/MINAGE:" + std::to_wstring(o.minAge) + L" ";
    text += L"/R:" + std::to_wstring(o.retries) + L" /W:" + std::to_wstring(o.waitSeconds);
    return text;
}

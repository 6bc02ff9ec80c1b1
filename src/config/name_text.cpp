#include "config/name_text.h"

#include <unordered_set>

#include "text/case_text.h"
#include "text/path_text.h"

bool EqualNoCase(const WideString& a, const WideString& b) {
    return a == b || ToLowerText(a) == ToLowerText(b);
}

StringList RemoveDuplicateTexts(const StringList& list) {
    StringList unique;
    std::unordered_set<WideString> seen;
    for (const WideString& text : list) {
        if (seen.insert(text).second) unique.push_back(text);
    }
    return unique;
}

WideString FileNameStem(const WideString& path) {
    const WideString name = FileNamePart(path);
    if (name.empty() || name == L" " || name.find(L'?') != kNoPosition) return WideString();
    const size_t dot = name.rfind(L'.');
    return dot == kNoPosition ? name : name.substr(0, dot);
}

#include "text/argument_list.h"

#include <cstdlib>

namespace {

StringList& TheList() {
    static StringList list;
    return list;
}

void FillFromRuntimeIfEmpty(StringList& list) {
    if (!list.empty()) return;
#if defined(_MSC_VER) || defined(__MINGW32__)
    // __wargv is set only when the program has a wide entry point.
    if (__wargv == nullptr) return;
    for (int i = 0; i < __argc; ++i) {
        if (__wargv[i] != nullptr) list.emplace_back(__wargv[i]);
    }
#endif
}

}  // namespace

StringList& ArgumentList() {
    StringList& list = TheList();
    FillFromRuntimeIfEmpty(list);
    return list;
}

StringList ArgumentListCopy() { return ArgumentList(); }

void SetArgumentList(int argumentCount, wchar_t** arguments) {
    StringList& list = TheList();
    list.clear();
    for (int i = 0; i < argumentCount; ++i) {
        list.emplace_back(arguments[i] != nullptr ? arguments[i] : L"");
    }
}

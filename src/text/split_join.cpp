#include "text/split_join.h"

#include <utility>

namespace {

bool IsQuote(wchar_t c) { return c == L'"' || c == L'\''; }

// Elements per chunk: the first chunk ends after index 100, later ones every
// 128 elements. Chunks are joined again by the same procedure.
constexpr size_t kChunkSize = 128;
constexpr size_t kChunkEnd = 100;

}  // namespace

StringList SplitText(const WideString& text, const WideString& separators) {
    StringList result;
    size_t position = 0;
    while (position < text.size()) {
        size_t separator;
        if (IsQuote(text[position])) {
            const size_t closing = text.find(text[position], position + 1);
            if (closing == kNoPosition) break;
            separator = text.find_first_of(separators, closing + 1);
        } else {
            separator = text.find_first_of(separators, position);
        }
        if (separator == kNoPosition) break;
        result.push_back(text.substr(position, separator - position));
        position = separator + 1;
    }
    if (position < text.size()) result.push_back(text.substr(position));
    return result;
}

StringList SplitOnChar(const WideString& text, wchar_t separator) {
    return SplitText(text, WideString(1, separator));
}

WideString JoinText(const StringList& list, const WideString& separator) {
    if (list.empty()) return WideString();
    if (list.size() == 1) return list.front();

    StringList chunks;
    WideString accumulator;
    bool accumulatorUsed = false;
    for (size_t i = 0; i < list.size(); ++i) {
        accumulator += list[i];
        accumulatorUsed = true;
        const bool last = i + 1 == list.size();
        if (i % kChunkSize == kChunkEnd) {
            chunks.push_back(std::move(accumulator));
            accumulator.clear();
            accumulatorUsed = false;
            continue;
        }
        if (!last) accumulator += separator;
    }
    // A final chunk that holds only an empty last element still counts: it
    // stands for the separator before it.
    if (accumulatorUsed) chunks.push_back(std::move(accumulator));
    if (chunks.size() == 1) return std::move(chunks.front());
    return JoinText(chunks, separator);
}

WideString JoinWithChar(const StringList& list, wchar_t separator) {
    return JoinText(list, WideString(1, separator));
}

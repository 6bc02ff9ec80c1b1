#include "text/split_join.h"

#include <gtest/gtest.h>

namespace {

struct SplitCase {
    const wchar_t* text;
    const wchar_t* separators;
    StringList expected;
};

TEST(SplitText, FollowsSeparatorsAndQuotes) {
    const SplitCase cases[] = {
        {L"a\\b\\", L"\\", {L"a", L"b"}},
        {L"\\a", L"\\", {L"", L"a"}},
        {L"a\\\\b", L"\\", {L"a", L"", L"b"}},
        {L"", L"\\", {}},
        {L"abc", L"\\", {L"abc"}},
        {L"a/b\\c", L"\\/", {L"a", L"b", L"c"}},
        {L"\"x,y\",z", L",", {L"\"x,y\"", L"z"}},
        {L"'x,y'z,w", L",", {L"'x,y'z", L"w"}},
        {L"\"open,rest,more", L",", {L"\"open,rest,more"}},
        {L"a,\"b,c\"", L",", {L"a", L"\"b,c\""}},
        {L"a,b\"c,d\"", L",", {L"a", L"b\"c", L"d\""}},  // quotes count only at an element's start
        {L",", L",", {L""}},
        {L"a", L"", {L"a"}},
    };
    for (const SplitCase& c : cases) {
        EXPECT_EQ(SplitText(c.text, c.separators), c.expected) << "text: " << c.text;
    }
}

TEST(SplitText, OneCharacterFormMatchesTheSetForm) {
    EXPECT_EQ(SplitOnChar(L"x;y;;z", L';'), (StringList{L"x", L"y", L"", L"z"}));
}

WideString PlainJoin(const StringList& list, const WideString& separator) {
    WideString joined;
    for (size_t i = 0; i < list.size(); ++i) {
        if (i != 0) joined += separator;
        joined += list[i];
    }
    return joined;
}

TEST(JoinText, SmallListsJoinPlainly) {
    EXPECT_EQ(JoinText({}, L";"), L"");
    EXPECT_EQ(JoinText({L""}, L";"), L"");
    EXPECT_EQ(JoinText({L"", L""}, L";"), L";");
    EXPECT_EQ(JoinText({L"only"}, L";"), L"only");
    EXPECT_EQ(JoinWithChar({L"a", L"b", L"c"}, L'\\'), L"a\\b\\c");
    EXPECT_EQ(JoinText({L"a", L"b"}, L""), L"ab");
    EXPECT_EQ(JoinText({L"a", L"b"}, L" | "), L"a | b");
}

TEST(JoinText, ChunkingIsInvisibleAtEveryBoundary) {
    // Sizes around the chunk ends (after indexes 100, 228, 356, ...) and a
    // size that needs a second round of chunk joining.
    for (size_t size : {100u, 101u, 102u, 228u, 229u, 230u, 300u, 20000u}) {
        StringList list;
        for (size_t i = 0; i < size; ++i) list.push_back(std::to_wstring(i));
        EXPECT_EQ(JoinText(list, L";"), PlainJoin(list, L";")) << "size " << size;
    }
}

TEST(JoinText, EmptyElementsAtChunkBoundariesKeepTheirSeparators) {
    // The element after a chunk's end is empty and last: its separator must
    // still be there.
    for (size_t size : {102u, 230u, 101u + 128u * 5 + 1}) {
        StringList list(size, L"x");
        list.back().clear();
        EXPECT_EQ(JoinText(list, L";"), PlainJoin(list, L";")) << "size " << size;
        StringList empties(size);
        EXPECT_EQ(JoinText(empties, L";"), WideString(size - 1, L';')) << "size " << size;
    }
}

}  // namespace

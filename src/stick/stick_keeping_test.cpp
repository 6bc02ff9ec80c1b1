#include "stick/stick_keeping.h"

#include <gtest/gtest.h>

#include <string>

#include "text/messages.h"
#include "text/number_text.h"

namespace {

// A run's copies in the order they were written: '.' read back as written,
// 'x' wrong; "r200" stands for 200 right copies, "w40" for 40 wrong ones.
std::vector<CopyReadBack> Copies(const std::string& pattern) {
    std::vector<CopyReadBack> copies;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '.' || c == 'x') {
            copies.push_back(c == 'x' ? CopyReadBack::Wrong : CopyReadBack::AsWritten);
            continue;
        }
        size_t digits = 0;
        const size_t count = std::stoul(pattern.substr(i + 1), &digits);
        copies.insert(copies.end(), count, c == 'w' ? CopyReadBack::Wrong : CopyReadBack::AsWritten);
        i += digits;
    }
    return copies;
}

StickReadBack Facts(const std::string& pattern, ListsReadBack lists = ListsReadBack::NotRead) {
    return StickReadBack{Copies(pattern), lists};
}

TEST(StickKeeping, AFewWrongCopiesAreLeftToTheLinesThatNameThem) {
    const char* runs[] = {
        "",         "r500",       ".",           "x",          "xx",
        "..x.x",    "r300xx",     "x.x",         "xxr1000",    "x.x.xr1000",
        "r40xr40xr40xr40",        // 3 wrong of 163, scattered
        "r500w9r500",             // 9 together, in the middle of 1009
        "r100xx.",                // the last copy right again
        "r200w5r6",               // five wrong, then the stick keeps again
        "r100xxx..",              // three wrong, two right after them
    };
    for (const char* run : runs) {
        const StickReadBack facts = Facts(run);
        EXPECT_FALSE(StickLosesWrites(facts)) << run;
        EXPECT_EQ(StickFailureLine(facts, L"E:"), WideString()) << run;
    }
    // Lists that read back as written change nothing.
    EXPECT_FALSE(StickLosesWrites(Facts("r300xx", ListsReadBack::AsWritten)));
}

TEST(StickKeeping, ManyWrongCopiesOrAllWrongFromAPointSayTheStickMayBeFailing) {
    const struct {
        const char* run;
        size_t wrong;
    } cases[] = {
        {"xxx", 3},
        {"x.x.x.........", 3},         // three of 14: more than a tenth
        {"r20x.x.x", 3},               // a tenth of 26 or more
        {"w10r2000", 10},              // ten, wherever they are
        {"r300x.x.x.x.x.x.x.x.x.x", 10},
        {"r400w31", 31},               // all from a point on, as past a fake size
        {"r5000xxx", 3},               // only the last three: from a point on
        {"r5000w4.w5", 9},             // one copy among them landed below the real size
        {"w40", 40},                   // every copy
        {"r2000w20.r3", 20},           // twenty of 2,024: many
    };
    for (const auto& c : cases) {
        const StickReadBack facts = Facts(c.run);
        EXPECT_TRUE(StickLosesWrites(facts)) << c.run;
        EXPECT_EQ(WrongCopies(facts), c.wrong) << c.run;
        const WideString expected =
            Say(Message::StickLosesCopies, {L"E:", GroupedText(c.wrong), GroupedText(facts.copies.size())});
        EXPECT_EQ(StickFailureLine(facts, L"E:"), expected) << c.run;
    }
}

TEST(StickKeeping, TheRuleHoldsAtItsEdges) {
    // Nine in ten from a point on: 9 wrong with one right among them is
    // enough, 8 with one right is not (and 8 of 1,009 are not many); the
    // last two alone are too few.
    EXPECT_TRUE(StickLosesWrites(Facts("r1000w7.xx")));
    EXPECT_FALSE(StickLosesWrites(Facts("r1000w6.xx")));
    // Three wrong at the very end are enough, two not.
    EXPECT_TRUE(StickLosesWrites(Facts("r1000xxx")));
    EXPECT_FALSE(StickLosesWrites(Facts("r1000xx")));
    // A tenth: 3 of 30 is many, 3 of 31 not (when not at the end).
    EXPECT_TRUE(StickLosesWrites(Facts("xxxr27")));
    EXPECT_FALSE(StickLosesWrites(Facts("xxxr28")));
    // Ten anywhere, nine not.
    EXPECT_TRUE(StickLosesWrites(Facts("w10r5000")));
    EXPECT_FALSE(StickLosesWrites(Facts("w9r5000")));
}

TEST(StickKeeping, ListsThatReadBackWrongSayItEvenWithoutAWrongCopy) {
    const WideString lists = StickFailureLine(Facts("r50", ListsReadBack::Wrong), L"E:");
    EXPECT_EQ(lists, Say(Message::StickLosesLists, {L"E:"}));
    EXPECT_EQ(StickFailureLine(Facts("", ListsReadBack::Wrong), L"E:"), lists);
    const WideString both = StickFailureLine(Facts("r40x", ListsReadBack::Wrong), L"E:");
    EXPECT_EQ(both, Say(Message::StickLosesCopiesAndLists, {L"E:", L"1", L"41"}));
}

TEST(StickKeeping, TheLineSaysHowManyCopiesWereWrongAndToUseAnotherStick) {
    const WideString line = StickFailureLine(Facts("r1200w31"), L"E:");
    EXPECT_EQ(line,
              L"E: does not keep what is written to it (copies read back wrong: 31 of 1,231): the stick may be "
              L"counterfeit (smaller than it claims) or failing. Use another stick.");
    SetMessageLanguage(Language::Japanese);
    const WideString japanese = StickFailureLine(Facts("r1200w31"), L"E:");
    SetMessageLanguage(Language::English);
    EXPECT_NE(japanese.find(L"1,231 \u500B\u306E\u3046\u3061 31 \u500B"), WideString::npos);
    EXPECT_EQ(japanese.rfind(L"E: ", 0), 0u);
}

}  // namespace

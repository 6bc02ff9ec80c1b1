#include "stick/stick_keeping.h"

#include <algorithm>

#include "text/messages.h"
#include "text/number_text.h"

namespace {

// Fewer wrong copies than this are left to the lines that name each file.
constexpr size_t kWrongAtLeast = 3;
// Wrong copies that are many whatever the run's size.
constexpr size_t kManyWrong = 10;
// Of the copies read back, the share (one in this many) that is many.
constexpr size_t kManyShare = 10;
// From the point on, at most one right copy per this many wrong ones: a
// file that lands in a hole below the stick's real size stays right.
constexpr size_t kWrongPerRight = 9;

bool ManyWrong(size_t wrong, size_t readBack) {
    return wrong >= kWrongAtLeast && (wrong >= kManyWrong || wrong * kManyShare >= readBack);
}

bool WrongFromAPointOn(const std::vector<CopyReadBack>& copies) {
    size_t wrong = 0;
    size_t right = 0;
    for (auto copy = copies.rbegin(); copy != copies.rend(); ++copy) {
        ++(*copy == CopyReadBack::Wrong ? wrong : right);
        if (wrong >= kWrongAtLeast && wrong >= kWrongPerRight * right) return true;
    }
    return false;
}

}  // namespace

size_t WrongCopies(const StickReadBack& facts) {
    return static_cast<size_t>(std::count(facts.copies.begin(), facts.copies.end(), CopyReadBack::Wrong));
}

bool StickLosesWrites(const StickReadBack& facts) {
    if (facts.lists == ListsReadBack::Wrong) return true;
    return ManyWrong(WrongCopies(facts), facts.copies.size()) || WrongFromAPointOn(facts.copies);
}

WideString StickFailureLine(const StickReadBack& facts, const WideString& drive) {
    if (!StickLosesWrites(facts)) return WideString();
    const size_t wrong = WrongCopies(facts);
    const WideString wrongText = GroupedText(wrong);
    const WideString readBackText = GroupedText(facts.copies.size());
    if (facts.lists != ListsReadBack::Wrong) return Say(Message::StickLosesCopies, {drive, wrongText, readBackText});
    if (wrong == 0) return Say(Message::StickLosesLists, {drive});
    return Say(Message::StickLosesCopiesAndLists, {drive, wrongText, readBackText});
}

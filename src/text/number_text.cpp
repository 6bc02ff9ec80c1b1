#include "text/number_text.h"

#include <algorithm>

namespace {

WideString DigitsOf(uint64_t value, int radix, bool negative) {
    const uint64_t base = static_cast<uint64_t>(std::clamp(radix, 2, 36));
    WideString result;
    if (negative) {
        result = L"-";
        value = ~value + 1;  // two's-complement negation, also for the smallest value
    }
    WideString digits;
    do {
        const auto digit = static_cast<wchar_t>(value % base);
        digits += digit < 10 ? static_cast<wchar_t>(L'0' + digit)
                             : static_cast<wchar_t>(L'a' + digit - 10);
        value /= base;
    } while (value != 0);
    result.append(digits.rbegin(), digits.rend());
    return result;
}

}  // namespace

WideString IntegerToText(uint64_t value, int radix) { return DigitsOf(value, radix, false); }

WideString SignedToText(int64_t value, int radix) {
    const bool negative = radix == 10 && value < 0;
    return DigitsOf(static_cast<uint64_t>(value), radix, negative);
}

WideString UnsignedToText(uint32_t value, int radix) { return DigitsOf(value, radix, false); }

WideString PadLeft(const WideString& text, size_t width, wchar_t fill) {
    if (text.size() >= width) return text;
    return WideString(width - text.size(), fill) + text;
}

WideString ZeroPaddedText(uint32_t value, int radix, size_t width) {
    return PadLeft(UnsignedToText(value, radix), width, L'0');
}

WideString GroupedText(uint64_t value) {
    const WideString digits = IntegerToText(value, 10);
    WideString grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i != 0 && (digits.size() - i) % 3 == 0) grouped += L',';
        grouped += digits[i];
    }
    return grouped;
}

// Numbers as texts: ASCII digits and lower-case letters, no prefix, no
// grouping, no locale. The radix is clamped to 2..36.
//   IntegerToText(3735928559, 16) => "deadbeef"
//   SignedToText(-5, 10) => "-5"      SignedToText(-5, 16) => "fffffffffffffffb"
//   ZeroPaddedText(1041, 16, 4) => "0411"
#pragma once

#include <cstdint>

#include "text/wide_string.h"

WideString IntegerToText(uint64_t value, int radix);

// "-" and the magnitude for a negative value in radix 10; in any other radix
// the digits of the value's 64-bit two's-complement pattern.
WideString SignedToText(int64_t value, int radix);

WideString UnsignedToText(uint32_t value, int radix);

// The text preceded by fill characters up to the width; never cut.
WideString PadLeft(const WideString& text, size_t width, wchar_t fill);

WideString ZeroPaddedText(uint32_t value, int radix, size_t width);

// The decimal digits in groups of three, for counts people read:
//   3204 => "3,204"   999 => "999"   1234567 => "1,234,567"
WideString GroupedText(uint64_t value);

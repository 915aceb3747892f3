// A float32 as the shortest decimal text that reads back to the same bits, the same bytes on
// every platform: the WebAssembly build's standard library has no floating-point to_chars,
// and printf's digits are not the shortest.
#pragma once

#include <cstddef>

// Room for the longest text written ("-1.17549435e-38" and the like), with space to spare.
constexpr std::size_t kFloatTextSize = 32;

// The shortest digits that round back to `value`, the nearest of them where several are as
// short (an even last digit on a tie), laid out in fixed or scientific form, whichever is
// shorter (fixed on a tie): "0.1", "-0", "1e+38", "1.5e-05", as std::to_chars writes them.
// Infinities and not-a-numbers as "inf", "-inf", "nan", "-nan". Returns the length.
std::size_t formatShortestFloat(float value, char (&text)[kFloatTextSize]);

#include "definitions/number_format.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "model/byte_order.h"

namespace {

// "%g" keeps six significant digits.
constexpr int kSignificantDigits = 6;
constexpr double kSixDigitsLow = 100000.0;
constexpr double kSixDigitsHigh = 1000000.0;

// Powers of ten from 10^-22 to 10^22, indexed by power + 22: the positive ones doubles
// hold exactly, the negative ones are rounded once. Multiplying is several times quicker
// than dividing.
constexpr double kPowersOfTen[] = {
    1e-22, 1e-21, 1e-20, 1e-19, 1e-18, 1e-17, 1e-16, 1e-15, 1e-14, 1e-13, 1e-12, 1e-11,
    1e-10, 1e-9,  1e-8,  1e-7,  1e-6,  1e-5,  1e-4,  1e-3,  1e-2,  1e-1,  1e0,   1e1,
    1e2,   1e3,   1e4,   1e5,   1e6,   1e7,   1e8,   1e9,   1e10,  1e11,  1e12,  1e13,
    1e14,  1e15,  1e16,  1e17,  1e18,  1e19,  1e20,  1e21,  1e22};
constexpr int kLargestPower = 22;

// Distance from a rounding tie below which the fast path gives way to the exact one. The
// scaled value stays below 10^7 through at most four roundings of 2^-53 each (the
// reciprocal, the product, the tenth and its product), so its error stays under 10^-8.
constexpr double kTieMargin = 1e-6;

template <std::size_t N>
std::size_t copyText(char* text, const char (&literal)[N]) {
  std::memcpy(text, literal, N - 1);
  return N - 1;
}

// Two-digit groups, "00" to "99", for writing digits in pairs.
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Trailing zeros of each pair "00" to "99".
constexpr auto kTrailingZeros = [] {
  std::array<int, 100> zeros{};
  for (std::size_t pair = 0; pair < 100; ++pair) zeros[pair] = pair == 0 ? 2 : pair % 10 == 0 ? 1 : 0;
  return zeros;
}();

// The six significant digits of a positive finite float, rounded to nearest as printf
// rounds them, and the decimal exponent of the first. False where the double arithmetic
// cannot decide the rounding for certain (near a tie, or far out of the usual range); the
// exact conversion handles those.
bool sixSignificantDigits(float value, std::uint32_t& digits, int& exponent) {
  // floor(log10(2^binaryExponent)): the decimal exponent, or one below it.
  const std::uint32_t bits = bitsOfFloat(value);
  const int binaryExponent = static_cast<int>((bits >> 23) & 0xFF) - 127;
  exponent = (binaryExponent * 78913) >> 18;
  const int power = kSignificantDigits - 1 - exponent;
  if (power > kLargestPower || power < -kLargestPower) return false;
  double scaled = static_cast<double>(value) * kPowersOfTen[power + kLargestPower];
  // One rounding more, still far inside the margin; written so as not to branch.
  const bool nextDecade = scaled >= kSixDigitsHigh;
  scaled *= nextDecade ? 0.1 : 1.0;
  exponent += nextDecade ? 1 : 0;
  if (scaled < kSixDigitsLow || scaled >= kSixDigitsHigh) return false;

  const auto whole = static_cast<std::uint32_t>(scaled);  // positive: truncation is floor
  const double fraction = scaled - static_cast<double>(whole);
  if (std::fabs(fraction - 0.5) < kTieMargin) return false;
  digits = whole + (fraction > 0.5 ? 1U : 0U);
  if (digits == 1000000) {  // 999999.7 and the like round up into the next decade
    digits = 100000;
    ++exponent;
  }
  return true;
}

// "%g"'s layout of six digits (100000 to 999999) standing for d.ddddd * 10^exponent:
// trailing zeros dropped, fixed form for exponents -4 to 5, else d.dddde+XX. Pieces are
// copied in fixed eight-byte blocks and the end moved by their true length: the text
// array has room to spare, and fixed-size copies need no branches.
std::size_t layOutGeneral(std::uint32_t digits, int exponent, char* text) {
  const std::uint32_t high = digits / 10000;
  const std::uint32_t middle = digits / 100 % 100;
  const std::uint32_t low = digits % 100;
  char digit[16] = {};
  std::memcpy(digit, kDigitPairs + 2 * high, 2);
  std::memcpy(digit + 2, kDigitPairs + 2 * middle, 2);
  std::memcpy(digit + 4, kDigitPairs + 2 * low, 2);
  // Trailing zeros counted without branches: a loop ending after a varying number of
  // steps is mispredicted about once a number. high is never 0.
  const int zeros =
      kTrailingZeros[low] +
      (low == 0 ? 1 : 0) * (kTrailingZeros[middle] + (middle == 0 ? 1 : 0) * kTrailingZeros[high]);
  const int count = kSignificantDigits - zeros;

  char* out = text;
  if (exponent >= 0 && exponent < kSignificantDigits) {
    const int integerDigits = exponent + 1;
    std::memcpy(out, digit, 8);
    out += integerDigits;
    if (count > integerDigits) {
      *out++ = '.';
      std::memcpy(out, digit + integerDigits, 8);
      out += count - integerDigits;
    }
  } else if (exponent < 0 && exponent >= -4) {
    std::memcpy(out, "0.000000", 8);
    out += 1 - exponent;  // "0." and a zero for each place after the point before the digits
    std::memcpy(out, digit, 8);
    out += count;
  } else {
    out[0] = digit[0];
    out[1] = '.';
    std::memcpy(out + 2, digit + 1, 8);
    out += count > 1 ? count + 1 : 1;
    const int magnitude = exponent < 0 ? -exponent : exponent;  // at most 45 for a float
    out[0] = 'e';
    out[1] = exponent < 0 ? '-' : '+';
    std::memcpy(out + 2, kDigitPairs + 2 * magnitude, 2);
    out += 4;
  }
  return static_cast<std::size_t>(out - text);
}

}  // namespace

// Proven equal to "%g" by comparison, not by argument alone: tools/check_number_format
// compares every one of the 2^32 float bit patterns with the C library (by hand, some tens
// of minutes; with glibc none differs), CI compares a different 1/256 of them on each run
// (.ci/numbers.sh), and the unit tests compare ten million chosen values on every build.
std::size_t formatGeneral(float value, char (&text)[kNumberTextSize]) {
  const bool negative = std::signbit(value);
  // Zeros, infinities and not-a-numbers fail the quick path's range check, so the common
  // case meets no test for them.
  std::uint32_t digits = 0;
  int exponent = 0;
  if (sixSignificantDigits(std::fabs(value), digits, exponent)) {
    std::size_t length = 0;
    if (negative) text[length++] = '-';
    return length + layOutGeneral(digits, exponent, text + length);
  }
  // The C library's words for the values without digits, whatever the platform.
  if (std::isnan(value)) return negative ? copyText(text, "-nan") : copyText(text, "nan");
  if (std::isinf(value)) return negative ? copyText(text, "-inf") : copyText(text, "inf");
  if (value == 0.0f) return negative ? copyText(text, "-0") : copyText(text, "0");
  // Exact, and by definition the same as "%g"; slower, so kept for the rare values above.
#if defined(__cpp_lib_to_chars)
  const auto result = std::to_chars(text, text + sizeof text, static_cast<double>(value),
                                    std::chars_format::general, kSignificantDigits);
  return static_cast<std::size_t>(result.ptr - text);
#else
  // The WebAssembly build's standard library has no floating-point to_chars; its printf
  // is exact too.
  const int length = std::snprintf(text, sizeof text, "%.*g", kSignificantDigits,
                                   static_cast<double>(value));
  return length > 0 ? static_cast<std::size_t>(length) : 0;
#endif
}

std::size_t formatInteger(std::int32_t value, char (&text)[kNumberTextSize]) {
  const auto result = std::to_chars(text, text + sizeof text, value);
  return static_cast<std::size_t>(result.ptr - text);
}

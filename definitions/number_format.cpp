#include "definitions/number_format.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>

namespace {

// "%g" keeps six significant digits.
constexpr int kSignificantDigits = 6;
constexpr double kSixDigitsLow = 100000.0;
constexpr double kSixDigitsHigh = 1000000.0;

// Powers of ten from 10^0 to 10^22, which doubles hold exactly, and their reciprocals,
// rounded once: multiplying is several times quicker than dividing.
constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr double kNegativePowersOfTen[] = {1e0,   1e-1,  1e-2,  1e-3,  1e-4,  1e-5,
                                           1e-6,  1e-7,  1e-8,  1e-9,  1e-10, 1e-11,
                                           1e-12, 1e-13, 1e-14, 1e-15, 1e-16, 1e-17,
                                           1e-18, 1e-19, 1e-20, 1e-21, 1e-22};
constexpr int kLargestPower = 22;

// Distance from a rounding tie below which the fast path gives way to the exact one. The
// scaled value is below 10^7 with a relative error under 2^-51 (at most two roundings, or
// three with x87 excess precision), so its error stays under 10^-8: far inside this margin.
constexpr double kTieMargin = 1e-6;

template <std::size_t N>
std::size_t copyText(char* text, const char (&literal)[N]) {
  std::memcpy(text, literal, N - 1);
  return N - 1;
}

// magnitude * 10^power, within two roundings; false outside the tables.
bool scaleByPowerOfTen(double magnitude, int power, double& scaled) {
  if (power > kLargestPower || power < -kLargestPower) return false;
  scaled = magnitude * (power >= 0 ? kPowersOfTen[power] : kNegativePowersOfTen[-power]);
  return true;
}

// The six significant digits of a positive finite float, rounded to nearest as printf
// rounds them, and the decimal exponent of the first. False where the double arithmetic
// cannot decide the rounding for certain (near a tie, or far out of the usual range); the
// exact conversion handles those.
bool sixSignificantDigits(float value, std::uint32_t& digits, int& exponent) {
  const double magnitude = static_cast<double>(value);
  // floor(log10(2^binaryExponent)), within one of the decimal exponent; corrected below.
  const int binaryExponent = static_cast<int>((std::bit_cast<std::uint32_t>(value) >> 23) & 0xFF) - 127;
  exponent = (binaryExponent * 78913) >> 18;
  double scaled = 0.0;
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (!scaleByPowerOfTen(magnitude, kSignificantDigits - 1 - exponent, scaled)) return false;
    if (scaled < kSixDigitsLow) {
      --exponent;
    } else if (scaled >= kSixDigitsHigh) {
      ++exponent;
    } else {
      break;
    }
  }
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
// trailing zeros dropped, fixed form for exponents -4 to 5, else d.dddde+XX.
std::size_t layOutGeneral(std::uint32_t digits, int exponent, char* text) {
  char digit[kSignificantDigits];
  for (int i = kSignificantDigits - 1; i >= 0; --i) {
    digit[i] = static_cast<char>('0' + digits % 10);
    digits /= 10;
  }
  int count = kSignificantDigits;
  while (count > 1 && digit[count - 1] == '0') --count;

  char* out = text;
  if (exponent >= 0 && exponent < kSignificantDigits) {
    const int integerDigits = exponent + 1;
    for (int i = 0; i < integerDigits; ++i) *out++ = i < count ? digit[i] : '0';
    if (count > integerDigits) {
      *out++ = '.';
      for (int i = integerDigits; i < count; ++i) *out++ = digit[i];
    }
  } else if (exponent < 0 && exponent >= -4) {
    *out++ = '0';
    *out++ = '.';
    for (int i = exponent; i < -1; ++i) *out++ = '0';
    for (int i = 0; i < count; ++i) *out++ = digit[i];
  } else {
    *out++ = digit[0];
    if (count > 1) {
      *out++ = '.';
      for (int i = 1; i < count; ++i) *out++ = digit[i];
    }
    *out++ = 'e';
    *out++ = exponent < 0 ? '-' : '+';
    const int power = exponent < 0 ? -exponent : exponent;  // at most 45 for a float
    *out++ = static_cast<char>('0' + power / 10);
    *out++ = static_cast<char>('0' + power % 10);
  }
  return static_cast<std::size_t>(out - text);
}

}  // namespace

std::size_t formatGeneral(float value, char (&text)[kNumberTextSize]) {
  const bool negative = std::signbit(value);
  // The C library's words for the values without digits, whatever the platform.
  if (std::isnan(value)) return negative ? copyText(text, "-nan") : copyText(text, "nan");
  if (std::isinf(value)) return negative ? copyText(text, "-inf") : copyText(text, "inf");
  if (value == 0.0f) return negative ? copyText(text, "-0") : copyText(text, "0");

  std::uint32_t digits = 0;
  int exponent = 0;
  if (sixSignificantDigits(std::fabs(value), digits, exponent)) {
    std::size_t length = 0;
    if (negative) text[length++] = '-';
    return length + layOutGeneral(digits, exponent, text + length);
  }
  // Exact, and by definition the same as "%g"; slower, so kept for the rare values above.
  const auto result = std::to_chars(text, text + sizeof text, static_cast<double>(value),
                                    std::chars_format::general, kSignificantDigits);
  return static_cast<std::size_t>(result.ptr - text);
}

std::size_t formatInteger(std::int32_t value, char (&text)[kNumberTextSize]) {
  const auto result = std::to_chars(text, text + sizeof text, value);
  return static_cast<std::size_t>(result.ptr - text);
}

#include "definitions/number_parse.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <system_error>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Checks the form and finds where the number starts without its sign, whether it is
// negative, whether it is zero, and whether it is below 1 in size (so that a value out of
// range is known to be too small rather than too large).
bool scanDecimal(const char* text, std::size_t length, std::size_t& start, bool& negative,
                 bool& zero, bool& belowOne) {
  std::size_t i = 0;
  negative = false;
  if (i < length && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  start = i;
  long order = 0;  // decimal exponent of the first non-zero digit, plus one
  bool seenNonZero = false;
  std::size_t digits = 0;
  for (; i < length && isDigit(text[i]); ++i, ++digits) {
    if (seenNonZero) {
      ++order;
    } else if (text[i] != '0') {
      seenNonZero = true;
      order = 1;
    }
  }
  if (i < length && text[i] == '.') {
    for (++i; i < length && isDigit(text[i]); ++i, ++digits) {
      if (!seenNonZero) {
        if (text[i] != '0') {
          seenNonZero = true;
        } else {
          --order;
        }
      }
    }
  }
  if (digits == 0) return false;
  if (i < length && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    bool negativeExponent = false;
    if (i < length && (text[i] == '+' || text[i] == '-')) negativeExponent = text[i++] == '-';
    if (i == length || !isDigit(text[i])) return false;
    long exponent = 0;
    for (; i < length && isDigit(text[i]); ++i) {
      if (exponent < 1000000) exponent = exponent * 10 + (text[i] - '0');
    }
    order += negativeExponent ? -exponent : exponent;
  }
  zero = !seenNonZero;
  belowOne = order <= 0;
  return i == length;
}

template <typename Float>
ParsedNumber parse(const char* text, std::size_t length, Float& value) {
  std::size_t start = 0;
  bool negative = false, zero = false, belowOne = false;
  if (!scanDecimal(text, length, start, negative, zero, belowOne)) return ParsedNumber::NotANumber;
  const Float signedZero = negative ? -Float(0) : Float(0);
  if (zero) {
    value = signedZero;
    return ParsedNumber::Finite;
  }
  // The library's conversion is exact; it is given the number without a plus sign, which
  // it does not take.
  const char* from = text + (negative ? start - 1 : start);
  const char* end = text + length;
  Float parsed = 0;
  bool outOfRange = false;
#if defined(__cpp_lib_to_chars)
  const std::from_chars_result result = std::from_chars(from, end, parsed);
  if (result.ec == std::errc::invalid_argument || result.ptr != end) return ParsedNumber::NotANumber;
  outOfRange = result.ec == std::errc::result_out_of_range;
#else
  // The WebAssembly build's standard library has no floating-point from_chars; its C
  // library's conversion is exact too.
  const std::string copy(from, end);
  char* stop = nullptr;
  if constexpr (sizeof(Float) == sizeof(float)) {
    parsed = std::strtof(copy.c_str(), &stop);
  } else {
    parsed = std::strtod(copy.c_str(), &stop);
  }
  if (stop != copy.c_str() + copy.size()) return ParsedNumber::NotANumber;
  outOfRange = std::isinf(parsed) || parsed == 0;
#endif
  if (outOfRange) {
    if (!belowOne) return ParsedNumber::TooLarge;
    parsed = signedZero;
  }
  value = parsed;
  return ParsedNumber::Finite;
}

}  // namespace

ParsedNumber parseFloat32(const char* text, std::size_t length, float& value) {
  return parse(text, length, value);
}

ParsedNumber parseFloat64(const char* text, std::size_t length, double& value) {
  return parse(text, length, value);
}

#include "skeleton/float_text.h"

#include <charconv>
#include <cstdint>
#include <cstring>

#include "model/byte_order.h"

namespace {

// Whole numbers up to 2^192, ample here: the largest met is below ten times 4 * 10^39
// (large floats) or ten times 2^151 (the smallest), both under 2^160.
constexpr std::size_t kLimbs = 6;
struct Big {
  std::uint32_t limb[kLimbs];  // least significant first
};

// value * 2^shift, value below 2^32.
Big shifted(std::uint32_t value, unsigned shift) {
  Big big{};
  const unsigned word = shift / 32, bits = shift % 32;
  big.limb[word] = value << bits;
  if (bits != 0) big.limb[word + 1] = value >> (32 - bits);
  return big;
}

void multiply(Big& big, std::uint32_t factor) {
  std::uint64_t carry = 0;
  for (std::uint32_t& limb : big.limb) {
    carry += static_cast<std::uint64_t>(limb) * factor;
    limb = static_cast<std::uint32_t>(carry);
    carry >>= 32;
  }
}

Big sum(const Big& a, const Big& b) {
  Big out{};
  std::uint64_t carry = 0;
  for (std::size_t i = 0; i < kLimbs; ++i) {
    carry += static_cast<std::uint64_t>(a.limb[i]) + b.limb[i];
    out.limb[i] = static_cast<std::uint32_t>(carry);
    carry >>= 32;
  }
  return out;
}

int compare(const Big& a, const Big& b) {
  for (std::size_t i = kLimbs; i-- > 0;) {
    if (a.limb[i] != b.limb[i]) return a.limb[i] < b.limb[i] ? -1 : 1;
  }
  return 0;
}

// a -= b, where a >= b.
void subtract(Big& a, const Big& b) {
  std::uint64_t borrow = 0;
  for (std::size_t i = 0; i < kLimbs; ++i) {
    const std::uint64_t taken = static_cast<std::uint64_t>(b.limb[i]) + borrow;
    borrow = a.limb[i] < taken ? 1 : 0;
    a.limb[i] = static_cast<std::uint32_t>((static_cast<std::uint64_t>(a.limb[i]) | borrow << 32) - taken);
  }
}

// Takes the next digit off: r / s, which is below 10, leaving the remainder in r.
char takeDigit(Big& r, const Big& s) {
  char digit = 0;
  while (compare(r, s) >= 0) {
    subtract(r, s);
    ++digit;
  }
  return digit;
}

// The same on one 64-bit word, for the floats whose numbers all fit one (see below): most
// of those met, at a tenth of the cost.
using Small = std::uint64_t;
Small shiftedSmall(std::uint32_t value, unsigned shift) { return static_cast<Small>(value) << shift; }
void multiply(Small& value, std::uint32_t factor) { value *= factor; }
Small sum(Small a, Small b) { return a + b; }
int compare(Small a, Small b) { return a < b ? -1 : a > b ? 1 : 0; }
char takeDigit(Small& r, Small s) {
  const auto digit = static_cast<char>(r / s);
  r %= s;
  return digit;
}
Big shiftedBig(std::uint32_t value, unsigned shift) { return shifted(value, shift); }

// The shortest digits of a positive finite float: value = 0.d1d2... * 10^point. The exact
// value and the halfway points to its neighbours are held as whole numbers r / s, (r - low)
// / s and (r + high) / s, and digits are taken off until one of those halfway points is
// passed: the first place where a shorter text still reads back.
template <typename Number, Number (*shift)(std::uint32_t, unsigned)>
std::size_t shortestDigits(std::uint32_t bits, char* digits, int& point) {
  const std::uint32_t fraction = bits & 0x7FFFFF;
  const int biased = static_cast<int>(bits >> 23);
  // value = mantissa * 2^exponent
  const std::uint32_t mantissa = biased == 0 ? fraction : fraction | 0x800000;
  const int exponent = (biased == 0 ? 1 : biased) - 150;
  // The gap below a power of two is half the gap above it.
  const bool narrowBelow = fraction == 0 && biased > 1;
  // Halfway values round to the even mantissa: then the halfway points themselves read back.
  const bool inclusive = mantissa % 2 == 0;

  // Scaled by 4 so that every halfway point is whole.
  Number r, s, high, low;
  if (exponent >= 0) {
    r = shift(mantissa * 4, static_cast<unsigned>(exponent));
    s = shift(4, 0);
    high = shift(2, static_cast<unsigned>(exponent));
    low = shift(narrowBelow ? 1 : 2, static_cast<unsigned>(exponent));
  } else {
    r = shift(mantissa * 4, 0);
    s = shift(4, static_cast<unsigned>(-exponent));
    high = shift(2, 0);
    low = shift(narrowBelow ? 1 : 2, 0);
  }

  // A first guess at the decimal place of the first digit, floor(log10(2^n)) for the top
  // bit, then corrected: the upper halfway point must lie below 1 (or at 1, where it does
  // not read back), at a place as high as can be.
  int topBit = exponent;
  for (std::uint32_t rest = mantissa >> 1; rest != 0; rest >>= 1) ++topBit;
  point = (topBit * 78913) >> 18;
  if (point >= 0) {
    for (int i = 0; i < point; ++i) multiply(s, 10);
  } else {
    for (int i = 0; i < -point; ++i) {
      multiply(r, 10);
      multiply(high, 10);
      multiply(low, 10);
    }
  }
  const auto reachesOne = [&](const Number& top) {
    const int c = compare(sum(top, high), s);
    return inclusive ? c >= 0 : c > 0;
  };
  while (reachesOne(r)) {
    multiply(s, 10);
    ++point;
  }
  for (;;) {
    Number tenfold = r, tenfoldHigh = high;
    multiply(tenfold, 10);
    multiply(tenfoldHigh, 10);
    const int c = compare(sum(tenfold, tenfoldHigh), s);
    if (inclusive ? c >= 0 : c > 0) break;
    r = tenfold;
    high = tenfoldHigh;
    multiply(low, 10);
    --point;
  }

  std::size_t count = 0;
  for (;;) {
    multiply(r, 10);
    multiply(high, 10);
    multiply(low, 10);
    const char digit = takeDigit(r, s);
    const int belowLow = compare(r, low);
    const bool lowReached = inclusive ? belowLow <= 0 : belowLow < 0;
    const bool highReached = reachesOne(r);
    if (!lowReached && !highReached) {
      digits[count++] = static_cast<char>('0' + digit);
      continue;
    }
    bool up = highReached;
    if (lowReached && highReached) {  // both read back: the nearer, an even digit on a tie
      Number twice = r;
      multiply(twice, 2);
      const int c = compare(twice, s);
      up = c > 0 || (c == 0 && digit % 2 != 0);
    }
    digits[count++] = static_cast<char>('0' + digit + (up ? 1 : 0));
    return count;
  }
}

template <std::size_t N>
std::size_t copyText(char* text, const char (&literal)[N]) {
  std::memcpy(text, literal, N - 1);
  return N - 1;
}

}  // namespace

std::size_t formatShortestFloat(float value, char (&text)[kFloatTextSize]) {
  const std::uint32_t bits = bitsOfFloat(value);
  const bool negative = (bits >> 31) != 0;
  const std::uint32_t magnitude = bits & 0x7FFFFFFF;
  std::size_t length = 0;
  if (negative) text[length++] = '-';
  if (magnitude > 0x7F800000) return length + copyText(text + length, "nan");
  if (magnitude == 0x7F800000) return length + copyText(text + length, "inf");
  if (magnitude == 0) return length + copyText(text + length, "0");
  // A whole number below 100000, common in places built by hand, is its own shortest text:
  // no exponent form is as short (1e+05 is five characters).
  const float size = negative ? -value : value;
  if (size < 100000.0f && size == static_cast<float>(static_cast<std::uint32_t>(size))) {
    const auto result = std::to_chars(text + length, text + kFloatTextSize, static_cast<std::uint32_t>(size));
    return static_cast<std::size_t>(result.ptr - text);
  }

  char digits[12];
  int point = 0;
  // One word holds every number met while s starts below 2^53: the guess at the first
  // digit's place may leave s to grow a hundredfold, and ten times r plus high reaches at
  // most twenty times s. So for exponents from -51 (s = 2^53) to 29 (s = 4 * 10^15 at
  // most), floats from about 1e-8 to 1e16.
  const int exponent2 = static_cast<int>(magnitude >> 23 == 0 ? 1 : magnitude >> 23) - 150;
  const std::size_t count = exponent2 >= -51 && exponent2 <= 29
                                ? shortestDigits<Small, shiftedSmall>(magnitude, digits, point)
                                : shortestDigits<Big, shiftedBig>(magnitude, digits, point);
  const int signedCount = static_cast<int>(count);
  const int exponent = point - 1;
  const int shownExponent = exponent < 0 ? -exponent : exponent;
  // A float's decimal exponent has at most two digits, and two are always written.
  const std::size_t scientificLength = count + (count > 1 ? 1 : 0) + 4;
  const std::size_t fixedLength = point <= 0 ? static_cast<std::size_t>(2 - point) + count
                                  : point < signedCount ? count + 1
                                                        : static_cast<std::size_t>(point);
  char* out = text + length;
  if (fixedLength <= scientificLength) {
    if (point <= 0) {
      *out++ = '0';
      *out++ = '.';
      for (int i = 0; i < -point; ++i) *out++ = '0';
      std::memcpy(out, digits, count);
      out += count;
    } else if (point < signedCount) {
      std::memcpy(out, digits, static_cast<std::size_t>(point));
      out += point;
      *out++ = '.';
      std::memcpy(out, digits + point, count - static_cast<std::size_t>(point));
      out += count - static_cast<std::size_t>(point);
    } else if ((magnitude >> 23) <= 150) {
      // Below 2^24 the digits and their zeros are the nearest whole number.
      std::memcpy(out, digits, count);
      out += count;
      for (int i = signedCount; i < point; ++i) *out++ = '0';
    } else {
      // From 2^24 up, where the digits may stop short of the units, the value's own digits
      // take as many characters and are exact: those are written.
      std::uint64_t whole = (magnitude & 0x7FFFFF) | 0x800000;
      whole <<= (magnitude >> 23) - 150;
      char reversed[20];
      std::size_t used = 0;
      for (; whole != 0; whole /= 10) reversed[used++] = static_cast<char>('0' + whole % 10);
      while (used > 0) *out++ = reversed[--used];
    }
  } else {
    *out++ = digits[0];
    if (count > 1) {
      *out++ = '.';
      std::memcpy(out, digits + 1, count - 1);
      out += count - 1;
    }
    *out++ = 'e';
    *out++ = exponent < 0 ? '-' : '+';
    *out++ = static_cast<char>('0' + shownExponent / 10);
    *out++ = static_cast<char>('0' + shownExponent % 10);
  }
  return static_cast<std::size_t>(out - text);
}

// formatGeneral against the C library's "%g" over millions of float32 values: a spread
// over every bit pattern, every decade's edges, the rounding ties, subnormals, zeros,
// infinities and not-a-numbers. (tools/check_number_format tries all 2^32 patterns.)
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "definitions/number_format.h"

namespace {

struct Sweep {
  std::uint64_t compared = 0;
  std::uint64_t mismatches = 0;
  std::string firstMismatches;

  void check(float value) {
    char ours[kNumberTextSize];
    char theirs[kNumberTextSize];
    const std::size_t length = formatGeneral(value, ours);
    // A NaN's sign is shown as glibc shows it on every host; some C libraries drop it.
    const int expected =
        std::isnan(value)
            ? std::snprintf(theirs, sizeof theirs, "%s", std::signbit(value) ? "-nan" : "nan")
            : std::snprintf(theirs, sizeof theirs, "%g", static_cast<double>(value));
    ++compared;
    if (expected >= 0 && static_cast<std::size_t>(expected) == length &&
        std::memcmp(ours, theirs, length) == 0) {
      return;
    }
    if (++mismatches <= 10) {
      char line[128];
      std::snprintf(line, sizeof line, "0x%08x: \"%.*s\" not \"%s\"\n",
                    static_cast<unsigned>(std::bit_cast<std::uint32_t>(value)),
                    static_cast<int>(length), ours, theirs);
      firstMismatches += line;
    }
  }
  void checkBits(std::uint32_t bits) { check(std::bit_cast<float>(bits)); }
  // A value, its neighbours up to `reach` steps away on both sides, and their negatives.
  void checkAround(float value, int reach) {
    const std::uint32_t centre = std::bit_cast<std::uint32_t>(std::fabs(value));
    for (int step = -reach; step <= reach; ++step) {
      const std::uint32_t bits = centre + static_cast<std::uint32_t>(step);
      checkBits(bits);
      checkBits(bits ^ 0x80000000U);
    }
  }
};

// The spread below gives ten million values. The sanitized build is several times slower
// and checks for memory and arithmetic faults, not digits: a fifth of them serves there.
#ifdef SPROING_SANITIZED_BUILD
constexpr std::uint64_t kSpreadStride = 2111;
#else
constexpr std::uint64_t kSpreadStride = 421;
#endif

TEST(NumberFormatSweep, GeneralMatchesPrintfOnTenMillionValues) {
  Sweep sweep;

  // A spread over all 2^32 bit patterns, both signs, every exponent, NaN payloads included.
  // The stride is odd, so the low bits vary too.
  for (std::uint64_t bits = 17; bits < (std::uint64_t{1} << 32); bits += kSpreadStride) {
    sweep.checkBits(static_cast<std::uint32_t>(bits));
  }

  // Every decade's edges: where the first digit changes, where six digits round up into
  // the next decade (999999.5 * 10^n), and so where "%g" switches to exponent form, below
  // 1e-4 and at 1e6.
  for (int power = -45; power <= 38; ++power) {
    const double decade = std::pow(10.0, power);
    sweep.checkAround(static_cast<float>(decade), 300);
    if (power < 38) sweep.checkAround(static_cast<float>(9.999995 * decade), 300);
  }
  for (const float edge : {1e-4f, 9.99995e-5f, 1e6f, 999999.5f, 999999.0f, 100000.0f}) {
    sweep.checkAround(edge, 3000);
  }

  // Exact ties at the seventh digit, which round to even: x.5 between 10^5 and 10^6 and
  // whole numbers ending in 5 between 10^6 and 10^7, at both ends of each range.
  for (const std::uint32_t start : {100000U, 990000U}) {
    for (std::uint32_t whole = start; whole < start + 100000 && whole < 1000000; ++whole) {
      sweep.check(static_cast<float>(whole) + 0.5f);
    }
  }
  for (const std::uint32_t start : {1000005U, 9900005U}) {
    for (std::uint32_t whole = start; whole < start + 1000000 && whole < 10000000; whole += 10) {
      sweep.check(static_cast<float>(whole));
    }
  }

  // Subnormals, both signs, and the normal numbers just above them.
  for (std::uint32_t bits = 1; bits < 0x00900000U; bits += 97) {
    sweep.checkBits(bits);
    sweep.checkBits(bits | 0x80000000U);
  }

  // Zeros, infinities, quiet and signalling not-a-numbers of both signs.
  for (const std::uint32_t bits : {0x00000000U, 0x7F800000U, 0x7FC00000U, 0x7F800001U,
                                   0x7FFFFFFFU, 0x7F7FFFFFU, 0x00000001U}) {
    sweep.checkBits(bits);
    sweep.checkBits(bits | 0x80000000U);
  }

#ifndef SPROING_SANITIZED_BUILD
  EXPECT_GE(sweep.compared, 10000000U);
#endif
  EXPECT_EQ(sweep.mismatches, 0U) << sweep.firstMismatches;
}

}  // namespace

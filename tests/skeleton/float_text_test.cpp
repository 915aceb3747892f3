// The shortest text of a float32 against the standard library's own, which is exact but
// missing from the WebAssembly build's: any difference is a fault of ours.
#include "skeleton/float_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cstdint>
#include <limits>
#include <string>

namespace {

std::string ours(float value) {
  char text[kFloatTextSize];
  return std::string(text, formatShortestFloat(value, text));
}

std::string library(float value) {
  char text[64];
  return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

TEST(FloatText, TheShortestTextThatReadsBack) {
  using L = std::numeric_limits<float>;
  // Powers of ten and two, the ends of the range, and both forms' borders.
  const float chosen[] = {0.0f, -0.0f, 1, 0.1f, 0.3f, 1e38f, 1e-5f, 1.5e-5f, 123456, 1234567, 12345678, 1e7f,
                          16777216, 33554436, 60770, 2e21f, L::max(), L::min(), L::denorm_min(), -L::denorm_min(),
                          L::infinity(), -L::infinity(), L::quiet_NaN(), -L::quiet_NaN()};
  for (const float value : chosen) EXPECT_EQ(ours(value), library(value)) << library(value);
  // A spread of all bit patterns: every exponent, both signs, many mantissas.
  for (std::uint64_t bits = 0; bits <= 0xFFFFFFFFu; bits += 8191) {
    const float value = std::bit_cast<float>(static_cast<std::uint32_t>(bits));
    ASSERT_EQ(ours(value), library(value)) << std::hex << bits;
  }
}

}  // namespace

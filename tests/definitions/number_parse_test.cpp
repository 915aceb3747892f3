#include "definitions/number_parse.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

// Expected bits worked out by hand from the binary32 format.
TEST(NumberParse, GivesTheNearestFloatOrSaysWhyNot) {
  struct Case {
    const char* text;
    ParsedNumber outcome;
    std::uint32_t bits;
  } const cases[] = {
      {"0", ParsedNumber::Finite, 0x00000000},
      {"-0", ParsedNumber::Finite, 0x80000000},
      {"+1.5e2", ParsedNumber::Finite, 0x43160000},  // 150
      {".5", ParsedNumber::Finite, 0x3F000000},
      {"2.", ParsedNumber::Finite, 0x40000000},
      {"0.1", ParsedNumber::Finite, 0x3DCCCCCD},
      {"16777217", ParsedNumber::Finite, 0x4B800000},  // a tie, to even: 2^24
      {"16777219", ParsedNumber::Finite, 0x4B800002},  // a tie, to even: 2^24 + 4
      {"3.4028235e38", ParsedNumber::Finite, 0x7F7FFFFF},
      {"3.5e38", ParsedNumber::TooLarge, 0},
      {"-1e39", ParsedNumber::TooLarge, 0},
      {"1e-45", ParsedNumber::Finite, 0x00000001},  // the smallest subnormal
      {"-1e-50", ParsedNumber::Finite, 0x80000000},  // nearer zero than any subnormal
      {"0.000e999999999999", ParsedNumber::Finite, 0x00000000},
      {"1e-999999999999", ParsedNumber::Finite, 0x00000000},
      {"", ParsedNumber::NotANumber, 0},
      {".", ParsedNumber::NotANumber, 0},
      {"-", ParsedNumber::NotANumber, 0},
      {"1e", ParsedNumber::NotANumber, 0},
      {"1e+", ParsedNumber::NotANumber, 0},
      {"0x10", ParsedNumber::NotANumber, 0},
      {"1,5", ParsedNumber::NotANumber, 0},
      {"inf", ParsedNumber::NotANumber, 0},
      {"nan", ParsedNumber::NotANumber, 0},
      {"++1", ParsedNumber::NotANumber, 0},
      {" 1", ParsedNumber::NotANumber, 0},
  };
  for (const Case& c : cases) {
    float value = -7.0f;
    EXPECT_EQ(parseFloat32(c.text, std::strlen(c.text), value), c.outcome) << c.text;
    if (c.outcome == ParsedNumber::Finite) {
      EXPECT_EQ(std::bit_cast<std::uint32_t>(value), c.bits) << c.text;
    }
  }
  double wide = 0;
  EXPECT_EQ(parseFloat64("1e300", 5, wide), ParsedNumber::Finite);
  EXPECT_EQ(wide, 1e300);
}

}  // namespace

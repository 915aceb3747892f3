#include "definitions/angle_conversion.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "definitions/edited_values.h"
#include "tests/support/model_builder.h"

namespace {

TEST(AngleConversion, WholeDegreesRoundTrip) {
  for (int degrees = -360; degrees <= 360; ++degrees) {
    EXPECT_EQ(toWholeDegrees(radiansOf(degrees)), degrees);
  }
}

TEST(AngleConversion, RoundsHalfUpByTheSinglePrecisionFactorAndSaturates) {
  constexpr float kInf = std::numeric_limits<float>::infinity();
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  struct Case {
    float radians;
    std::int32_t expected;
  } const cases[] = {
      // Halves round up, after the single-precision factor.
      {radiansOf(-1), -1}, {radiansOf(-0.5), 0}, {radiansOf(10.5), 10}, {radiansOf(-10.5), -10},
      {radiansOf(0.4), 0}, {radiansOf(-0.6), -1}, {radiansOf(89.6), 90},
      // Large angles show the factor itself: 57.2957763671875 is 469367/8192, so r * 469367 / 8192
      // worked out by hand for these exact floats; 180/pi would give 57295780 for 1e6 and
      // 1718873385 for 3e7.
      {1.0f, 57},
      {1000.0f, 57296},              // 57295.7763671875
      {1.0e6f, 57295776},            // 57295776.3671875
      {-1.0e6f, -57295776},          // -57295776.3671875 + 0.5, floored
      {3.0e7f, 1718873291},          // 1718873291.015625
      {-3.7e7f, -2119943726},        // -2119943725.5859375 + 0.5, floored: inside int32
      // Out of range saturates, just past it too (2.177e9 and -2.177e9 degrees); not a number is zero.
      {kInf, kMax}, {-kInf, kMin}, {std::numeric_limits<float>::max(), kMax},
      {std::numeric_limits<float>::lowest(), kMin}, {3.8e7f, kMax}, {-3.8e7f, kMin},
      {std::nanf(""), 0}, {-std::nanf(""), 0},
  };
  for (const Case& c : cases) EXPECT_EQ(toWholeDegrees(c.radians), c.expected) << c.radians;
}

}  // namespace

// What an edit writes for an angle: every whole number of degrees it may be given comes
// back as itself, through the same path the apply step takes.
TEST(AngleConversion, EveryWholeDegreeAnEditWritesDumpsBackAsItself) {
  const std::uint32_t stored = 0x3F800000;  // 1 radian, 57 degrees: never kept below
  int wrong = 0;
  for (int degrees = -100000; degrees <= 100000; ++degrees) {
    const std::string text = std::to_string(degrees);
    std::uint32_t bits = 0;
    ASSERT_EQ(resolveEditedValue(TextSpan{text.c_str(), text.size(), 1}, JiggleUnit::WholeDegrees, stored, bits),
              ParsedNumber::Finite);
    if (toWholeDegrees(std::bit_cast<float>(bits)) != degrees) ++wrong;
  }
  EXPECT_EQ(wrong, 0);
}

// An angle written as the number the dump shows keeps the stored bits, however the number is
// written; any other is stored as written. 0x3F490FDA dumps as 45 (44.999997 degrees) and
// 0x46885A97 as 1000000 (1000000.11), though neither is what 45 or 1000000 degrees give.
TEST(AngleConversion, TheNumberTheDumpShowsKeepsTheStoredBits) {
  struct Case {
    std::uint32_t stored;
    const char* written;
    std::uint32_t expected;
  } const cases[] = {
      {0x3F490FDA, "45", 0x3F490FDA},        {0x3F490FDA, "45.0", 0x3F490FDA},
      {0x3F490FDA, "45.0000001", 0x3F490FDA}, {0x3F490FDA, "45.4", 0x3F4AD962},
      {0x46885A97, "1000000.0", 0x46885A97},  {0x46885A97, "1e6", 0x46885A97},
      {0x46885A97, "999999", 0x46885A8D},
  };
  for (const Case& c : cases) {
    std::uint32_t bits = 0;
    const TextSpan text{c.written, std::strlen(c.written), 1};
    ASSERT_EQ(resolveEditedValue(text, JiggleUnit::WholeDegrees, c.stored, bits), ParsedNumber::Finite);
    EXPECT_EQ(bits, c.expected) << c.written;
  }
}

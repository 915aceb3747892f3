#include "definitions/angle_conversion.h"

#include <gtest/gtest.h>

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

TEST(AngleConversion, RoundsHalfUpAfterTheSinglePrecisionFactor) {
  struct Case {
    double degrees;
    std::int32_t expected;
  } const cases[] = {{-1, -1}, {-0.5, 0}, {10.5, 10}, {-10.5, -10}, {0.4, 0}, {-0.6, -1}, {89.6, 90}};
  for (const Case& c : cases) EXPECT_EQ(toWholeDegrees(radiansOf(c.degrees)), c.expected) << c.degrees;
  EXPECT_EQ(kRadToDeg, static_cast<double>(57.295776f));
}

TEST(AngleConversion, OutOfRangeSaturatesAndNotANumberIsZero) {
  constexpr float kInf = std::numeric_limits<float>::infinity();
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  EXPECT_EQ(toWholeDegrees(kInf), kMax);
  EXPECT_EQ(toWholeDegrees(-kInf), kMin);
  EXPECT_EQ(toWholeDegrees(std::numeric_limits<float>::max()), kMax);
  EXPECT_EQ(toWholeDegrees(std::numeric_limits<float>::lowest()), kMin);
  EXPECT_EQ(toWholeDegrees(std::nanf("")), 0);
  EXPECT_EQ(toWholeDegrees(-std::nanf("")), 0);
  // Just inside the range: 2^31 - 1 degrees would need more precision than a float has,
  // so test the largest floats whose product stays inside.
  EXPECT_EQ(toWholeDegrees(3.0e7f), static_cast<std::int32_t>(std::floor(3.0e7 * kRadToDeg + 0.5)));
  EXPECT_EQ(toWholeDegrees(-3.7e7f), static_cast<std::int32_t>(std::floor(-3.7e7 * kRadToDeg + 0.5)));
  EXPECT_EQ(toWholeDegrees(3.8e7f), kMax);
  EXPECT_EQ(toWholeDegrees(-3.8e7f), kMin);
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
    std::string error;
    ASSERT_TRUE(resolveEditedValue(EditToken{text.c_str(), text.size(), 1}, JiggleUnit::WholeDegrees,
                                   stored, bits, error));
    float radians = 0;
    std::memcpy(&radians, &bits, sizeof radians);
    if (toWholeDegrees(radians) != degrees) ++wrong;
  }
  EXPECT_EQ(wrong, 0);
}

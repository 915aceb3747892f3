#include "definitions/number_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

std::string general(float value) {
  char text[kNumberTextSize];
  return std::string(text, formatGeneral(value, text));
}

std::string integer(std::int32_t value) {
  char text[kNumberTextSize];
  return std::string(text, formatInteger(value, text));
}

TEST(NumberFormat, GeneralMatchesPercentG) {
  struct Case {
    float value;
    const char* text;
  } const cases[] = {
      {0.0f, "0"},         {-0.0f, "-0"},          {0.1f, "0.1"},        {12.5f, "12.5"},
      {100.0f, "100"},     {0.5f, "0.5"},          {1e6f, "1e+06"},      {999999.0f, "999999"},
      {999999.5f, "1e+06"}, {1e-4f, "0.0001"},     {1e-5f, "1e-05"},     {-1.5f, "-1.5"},
      {1.0f / 3.0f, "0.333333"}, {123456789.0f, "1.23457e+08"}, {3.4028235e38f, "3.40282e+38"},
      {1e-45f, "1.4013e-45"},    {0.3f, "0.3"},    {1000.0f, "1000"},
      // Not finite, as the C library prints them.
      {std::numeric_limits<float>::infinity(), "inf"}, {-std::numeric_limits<float>::infinity(), "-inf"},
      {std::nanf(""), "nan"}, {-std::nanf(""), "-nan"},
  };
  for (const Case& c : cases) EXPECT_EQ(general(c.value), c.text) << c.text;
}

TEST(NumberFormat, IntegersAreSignedDecimals) {
  const std::pair<std::int32_t, const char*> cases[] = {
      {0, "0"}, {-30, "-30"}, {std::numeric_limits<std::int32_t>::min(), "-2147483648"},
      {std::numeric_limits<std::int32_t>::max(), "2147483647"}};
  for (const auto& [value, text] : cases) EXPECT_EQ(integer(value), text);
}

}  // namespace

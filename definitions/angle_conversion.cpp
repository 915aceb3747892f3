#include "definitions/angle_conversion.h"

#include <cmath>
#include <limits>

std::int32_t toWholeDegrees(float radians) {
  const double degrees = std::floor(static_cast<double>(radians) * kRadToDeg + 0.5);
  if (std::isnan(degrees)) return 0;
  // Both limits are exact doubles, so the conversion below is always defined.
  if (degrees >= static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
    return std::numeric_limits<std::int32_t>::max();
  }
  if (degrees <= static_cast<double>(std::numeric_limits<std::int32_t>::min())) {
    return std::numeric_limits<std::int32_t>::min();
  }
  return static_cast<std::int32_t>(degrees);
}

bool toRadians(double degrees, float& radians) {
  const double exact = degrees * kDegreesToRadians;
  if (!(std::fabs(exact) <= static_cast<double>(std::numeric_limits<float>::max()))) return false;
  radians = static_cast<float>(exact);
  return true;
}

// Stored radians to the whole degrees written in the definitions.
#pragma once

#include <cstdint>

// The single-precision value nearest to 57.295776, held as a double. Files written by the
// original compiler round-trip through this factor, not through 180/pi.
constexpr double kRadToDeg = 57.2957763671875;

// floor(radians * kRadToDeg + 0.5) in double precision. Saturates at the int32 limits;
// not-a-number gives 0.
std::int32_t toWholeDegrees(float radians);

// pi / 180 as a double: degrees written in an edit are stored through it, as real compiled
// models store them, and not through the inverse of kRadToDeg.
constexpr double kDegreesToRadians = 3.14159265358979323846 / 180;

// Degrees to the stored radians: the float32 nearest to degrees * kDegreesToRadians,
// computed in double precision. Every whole number of degrees from -100000 to 100000 comes
// back through toWholeDegrees as itself. False for a value beyond float32's range.
bool toRadians(double degrees, float& radians);

// Stored radians as a number of degrees, in double precision: what a written angle was.
inline double degreesOf(float radians) { return static_cast<double>(radians) / kDegreesToRadians; }

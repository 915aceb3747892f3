// The text of the numbers in the definitions.
#pragma once

#include <cstddef>
#include <cstdint>

// Room for the longest text either function writes, with space to spare.
constexpr std::size_t kNumberTextSize = 32;

// The float widened to double, as printf's "%g" writes it, with two exponent digits on
// every platform and the C library's "inf", "-inf", "nan" and "-nan". Returns the length
// written.
std::size_t formatGeneral(float value, char (&text)[kNumberTextSize]);

// A signed decimal, as printf's "%i" writes it. Returns the length written.
std::size_t formatInteger(std::int32_t value, char (&text)[kNumberTextSize]);

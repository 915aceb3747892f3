#include "definitions/number_format.h"

#include <charconv>
#include <cmath>
#include <cstdio>

std::size_t formatGeneral(float value, char (&text)[kNumberTextSize]) {
  // Not every C library shows a NaN's sign (MinGW's does not); the text must be the same
  // on every host.
  if (std::isnan(value)) {
    return static_cast<std::size_t>(
        std::snprintf(text, sizeof text, "%s", std::signbit(value) ? "-nan" : "nan"));
  }
  const int length = std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
  return length > 0 ? static_cast<std::size_t>(length) : 0;
}

std::size_t formatInteger(std::int32_t value, char (&text)[kNumberTextSize]) {
  const auto result = std::to_chars(text, text + sizeof text, value);
  return static_cast<std::size_t>(result.ptr - text);
}

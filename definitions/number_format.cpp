#include "definitions/number_format.h"

#include <charconv>
#include <cstdio>

std::size_t formatGeneral(float value, char (&text)[kNumberTextSize]) {
  const int length = std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
  return length > 0 ? static_cast<std::size_t>(length) : 0;
}

std::size_t formatInteger(std::int32_t value, char (&text)[kNumberTextSize]) {
  const auto result = std::to_chars(text, text + sizeof text, value);
  return static_cast<std::size_t>(result.ptr - text);
}

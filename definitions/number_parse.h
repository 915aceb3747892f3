// Numbers as people write them in a model's source text: an optional sign, digits with an
// optional decimal point (a digit on at least one side of it), an optional exponent.
#pragma once

#include <cstddef>

enum class ParsedNumber {
  Finite,      // the value is set
  NotANumber,  // the text is not a decimal number
  TooLarge,    // a number, but beyond the type's finite range
};

// The float32 nearest to the decimal (ties to even); a number too small for any float32
// other than zero is a zero of its sign.
ParsedNumber parseFloat32(const char* text, std::size_t length, float& value);

// The same for a double.
ParsedNumber parseFloat64(const char* text, std::size_t length, double& value);

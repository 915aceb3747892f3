#include "definitions/edited_values.h"

#include <cstring>

#include "definitions/angle_conversion.h"
#include "definitions/value_text.h"
#include "model/byte_order.h"

namespace {

bool sameText(const char* a, std::size_t aLength, const char* b, std::size_t bLength) {
  return aLength == bLength && std::memcmp(a, b, aLength) == 0;
}

// Degrees are parsed in double precision, then turned into the stored radians.
ParsedNumber parseValue(const EditToken& value, JiggleUnit unit, float& parsed) {
  if (unit == JiggleUnit::AsStored) return parseFloat32(value.text, value.length, parsed);
  double degrees = 0;
  const ParsedNumber outcome = parseFloat64(value.text, value.length, degrees);
  if (outcome != ParsedNumber::Finite) return outcome;
  return toRadians(degrees, parsed) ? ParsedNumber::Finite : ParsedNumber::TooLarge;
}

}  // namespace

ParsedNumber resolveEditedValue(const EditToken& value, JiggleUnit unit, std::uint32_t stored,
                                std::uint32_t& bits) {
  char shown[kNumberTextSize] = {};
  const std::size_t shownLength = formatValue(unit, floatFromBits(stored), shown);
  // The model's own text, the common case, needs no conversion.
  if (sameText(value.text, value.length, shown, shownLength)) {
    bits = stored;
    return ParsedNumber::Finite;
  }
  float parsed = 0;
  const ParsedNumber outcome = parseValue(value, unit, parsed);
  if (outcome != ParsedNumber::Finite) return outcome;
  char text[kNumberTextSize] = {};
  const std::size_t length = formatValue(unit, parsed, text);
  bits = sameText(text, length, shown, shownLength) ? stored : bitsOfFloat(parsed);
  return ParsedNumber::Finite;
}

std::uint32_t editedFlags(std::uint32_t stored, std::uint32_t textBits) {
  const bool limitsShown = ((stored | textBits) & kTipBits) != 0;
  return (stored & ~kTextBits) | (textBits & kBlockBits) | ((limitsShown ? textBits : stored) & kLimitBits);
}

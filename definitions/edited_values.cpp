#include "definitions/edited_values.h"

#include <cstring>

#include "definitions/angle_conversion.h"
#include "definitions/value_text.h"
#include "model/byte_order.h"

namespace {

bool sameText(const char* a, std::size_t aLength, const char* b, std::size_t bLength) {
  return aLength == bLength && std::memcmp(a, b, aLength) == 0;
}

// An angle keeps its stored bits where the number written is the one the dump shows, or
// one that is stored and shown as it: 45.0, or 45.0000001. Any other number, fractions
// included, is stored as written.
ParsedNumber resolveDegrees(const TextSpan& value, std::uint32_t stored, const char* shown,
                            std::size_t shownLength, std::uint32_t& bits) {
  double degrees = 0;
  const ParsedNumber outcome = parseFloat64(value.text, value.length, degrees);
  if (outcome != ParsedNumber::Finite) return outcome;
  float radians = 0;
  if (!toRadians(degrees, radians)) return ParsedNumber::TooLarge;
  char text[kNumberTextSize] = {};
  const std::size_t length = formatWrittenDegrees(radians, text);
  const bool same = degrees == static_cast<double>(toWholeDegrees(floatFromBits(stored))) ||
                    sameText(text, length, shown, shownLength);
  bits = same ? stored : bitsOfFloat(radians);
  return ParsedNumber::Finite;
}

}  // namespace

ParsedNumber resolveEditedValue(const TextSpan& value, JiggleUnit unit, std::uint32_t stored,
                                std::uint32_t& bits) {
  char shown[kNumberTextSize] = {};
  const std::size_t shownLength = formatValue(unit, floatFromBits(stored), shown);
  // The model's own text, the common case, needs no conversion.
  if (sameText(value.text, value.length, shown, shownLength)) {
    bits = stored;
    return ParsedNumber::Finite;
  }
  if (unit == JiggleUnit::WholeDegrees) return resolveDegrees(value, stored, shown, shownLength, bits);
  float parsed = 0;
  const ParsedNumber outcome = parseFloat32(value.text, value.length, parsed);
  if (outcome != ParsedNumber::Finite) return outcome;
  char text[kNumberTextSize] = {};
  const std::size_t length = formatValue(unit, parsed, text);
  bits = sameText(text, length, shown, shownLength) ? stored : bitsOfFloat(parsed);
  return ParsedNumber::Finite;
}

std::uint32_t editedFlags(std::uint32_t stored, std::uint32_t textBits, std::uint32_t clearedBits) {
  const bool limitsShown = ((stored | textBits) & kTipBits) != 0;
  const std::uint32_t flags =
      (stored & ~kTextBits) | (textBits & kBlockBits) | ((limitsShown ? textBits : stored) & kLimitBits);
  return flags & ~(clearedBits & kSwitchBits);
}

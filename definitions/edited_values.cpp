#include "definitions/edited_values.h"

#include <cstring>

#include "definitions/angle_conversion.h"
#include "definitions/number_format.h"
#include "definitions/number_parse.h"
#include "model/byte_order.h"

namespace {

bool sameText(const char* a, std::size_t aLength, const char* b, std::size_t bLength) {
  return aLength == bLength && std::memcmp(a, b, aLength) == 0;
}

bool refuse(ParsedNumber parsed, const EditToken& value, std::string& error) {
  error = shownForMessage(value) + (parsed == ParsedNumber::TooLarge
                                        ? " is beyond the largest value a model can hold"
                                        : " is not a number");
  return false;
}

bool resolveAsStored(const EditToken& value, std::uint32_t stored, std::uint32_t& bits,
                     std::string& error) {
  char shown[kNumberTextSize] = {};
  const std::size_t shownLength = formatGeneral(floatFromBits(stored), shown);
  // The model's own text, the common case, needs no conversion.
  if (sameText(value.text, value.length, shown, shownLength)) {
    bits = stored;
    return true;
  }
  float parsed = 0;
  const ParsedNumber outcome = parseFloat32(value.text, value.length, parsed);
  if (outcome != ParsedNumber::Finite) return refuse(outcome, value, error);
  char text[kNumberTextSize] = {};
  const std::size_t length = formatGeneral(parsed, text);
  bits = sameText(text, length, shown, shownLength) ? stored : bitsOfFloat(parsed);
  return true;
}

bool resolveDegrees(const EditToken& value, std::uint32_t stored, std::uint32_t& bits,
                    std::string& error) {
  const std::int32_t shownDegrees = toWholeDegrees(floatFromBits(stored));
  char shown[kNumberTextSize] = {};
  const std::size_t shownLength = formatInteger(shownDegrees, shown);
  if (sameText(value.text, value.length, shown, shownLength)) {
    bits = stored;
    return true;
  }
  double degrees = 0;
  ParsedNumber outcome = parseFloat64(value.text, value.length, degrees);
  float radians = 0;
  if (outcome == ParsedNumber::Finite && !toRadians(degrees, radians)) outcome = ParsedNumber::TooLarge;
  if (outcome != ParsedNumber::Finite) return refuse(outcome, value, error);
  bits = toWholeDegrees(radians) == shownDegrees ? stored : bitsOfFloat(radians);
  return true;
}

}  // namespace

bool resolveEditedValue(const EditToken& value, JiggleUnit unit, std::uint32_t stored,
                        std::uint32_t& bits, std::string& error) {
  return unit == JiggleUnit::WholeDegrees ? resolveDegrees(value, stored, bits, error)
                                          : resolveAsStored(value, stored, bits, error);
}

std::uint32_t editedFlags(std::uint32_t stored, std::uint32_t textBits) {
  const bool limitsShown = ((stored | textBits) & kTipBits) != 0;
  return (stored & ~kTextBits) | (textBits & (kTipBits | BaseSpring)) |
         ((limitsShown ? textBits : stored) & kLimitBits);
}

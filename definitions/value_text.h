// How a value shows in the text, by its unit: the one place that says it, for the writer,
// the change report and the reading of edited values.
#pragma once

#include <cstddef>

#include "definitions/angle_conversion.h"
#include "definitions/jiggle_keywords.h"
#include "definitions/number_format.h"

// The unit known at compile time, for the writer's straight-line code.
template <JiggleUnit unit>
inline std::size_t formatValueAs(float value, char (&text)[kNumberTextSize]) {
  if constexpr (unit == JiggleUnit::WholeDegrees) {
    return formatInteger(toWholeDegrees(value), text);
  } else {
    return formatGeneral(value, text);
  }
}

inline std::size_t formatValue(JiggleUnit unit, float value, char (&text)[kNumberTextSize]) {
  return unit == JiggleUnit::WholeDegrees ? formatValueAs<JiggleUnit::WholeDegrees>(value, text)
                                          : formatValueAs<JiggleUnit::AsStored>(value, text);
}

// An angle as an edit wrote it: its degrees with "%g" rather than whole, so that the
// change line shows 45.4 where the dump shows 45.
inline std::size_t formatWrittenDegrees(float radians, char (&text)[kNumberTextSize]) {
  return formatGeneral(static_cast<float>(degreesOf(radians)), text);
}

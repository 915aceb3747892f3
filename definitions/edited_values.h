// What a value written in an edit stores. A value that shows as the stored one already
// shows keeps the stored bits, so that a model's own text written back changes nothing;
// any other becomes the float32 nearest to it (an angle: nearest to its radians, by pi/180,
// fractions of a degree kept).
#pragma once

#include <cstdint>

#include "definitions/jiggle_keywords.h"
#include "definitions/jiggle_reader.h"
#include "definitions/number_parse.h"

// Sets `bits` to what the field should hold and returns Finite, or returns why it cannot:
// a text that is not a number, or one beyond float32's finite range. The writer's own
// texts of a stored infinity or not-a-number are taken as keeping it.
ParsedNumber resolveEditedValue(const TextSpan& value, JiggleUnit unit, std::uint32_t stored,
                                std::uint32_t& bits);

// The flags of an edited bone: `textBits` holds the blocks written and the limit bits of
// the limits switched on, `clearedBits` the bits of the switch lines written. The blocks'
// bits follow the text; the limit bits follow it too where the stored bone or the edit has
// a tip block, the only place where the text shows them, and keep their stored value where
// neither has one. A switch's bit is cleared where its line stands. Every other bit is kept.
std::uint32_t editedFlags(std::uint32_t stored, std::uint32_t textBits, std::uint32_t clearedBits);

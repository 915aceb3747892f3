// Where things stand in an edits text, as the tools' own reader parts it: the page's editor,
// its caret link, Scale and change marks take their places from here, so that a comment,
// a quoted name or a block the reader would pass over is what the reader says it is.
#pragma once

#include <cstddef>
#include <string>

// One record per place, in text order, each ended by '\x1e', its fields parted by '\x1f';
// offsets are bytes from the text's start, an end just past the place's last byte:
//   "bone"  <line> <start> <end> <name start> <name end>
//           from "$jigglebone" to its "}" (an unclosed bone ends where its "}" is missing);
//           the name without its quotes
//   "block" <line> <start> <end> <block>   a tip block or base spring, its name to its "}"
//   "value" <line> <start> <end> <block> <unit> <role> <axis> <keyword> <value start>
//           <value end> [<value start> <value end>]   a keyword line: unit "d" for whole
//           degrees, "s" for a value as stored; role and axis as in jiggle_keywords.h
//   "unclosed" <line> <offset> <offset's line>   a bone or block opened at <line> and not
//           closed: <offset> is the end of what was read inside it, where its "}" belongs
// `text` must be followed by a NUL byte.
void renderTextPlaces(const char* text, std::size_t size, std::string& out);

extern "C" {
// The places of `text` (size bytes, followed by a NUL), valid until the next call.
const char* sproingPlaces(const char* text, std::size_t size);
std::size_t sproingPlacesLength();
}

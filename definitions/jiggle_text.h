// The text of the definitions: one "$jigglebone" block per jiggle bone, in table order,
// and the console's summary line of a bone.
#pragma once

#include "definitions/jiggle_keywords.h"
#include "base/byte_sink.h"
#include "model/jiggle_bone.h"
#include "model/model_image.h"

// The image must have passed findModelDamage. The sink is not flushed here. Returns how
// many bones were written.
std::size_t renderJiggleDefinitions(const ModelImage& image, ByteSink& file);

// One bone's block.
void renderJiggleBone(const JiggleBone& bone, ByteSink& file);

// "Jigglebone: <name> ", then "- <block> " for each block the flags show, and a line feed.
void renderJiggleBoneLine(const char* name, std::size_t nameLength, std::uint32_t flags, ByteSink& console);

// What the bone's block holds after its opening "{": the line end, the blocks and lines,
// and the closing "}" (not the empty line after it). No console line.
void renderJiggleBoneRest(const JiggleBone& bone, ByteSink& file);

// How many line ends that text holds, for a bone with these flags: known from the layout,
// so that a reader stepping over it need not count them.
std::size_t jiggleBoneRestLines(std::uint32_t flags);

// The text of one keyword line's values, as the block shows them (values parted by a
// space). Returns the length written; `text` has room for two values.
std::size_t renderKeywordValues(const JiggleBone& bone, const JiggleKeyword& keyword,
                                char (&text)[64]);

#include "skeleton/jiggle_extras.h"

#include "definitions/jiggle_keywords.h"
#include "definitions/value_text.h"

namespace {

void appendValue(KeptBytes& json, JiggleUnit unit, float value) {
  char text[kNumberTextSize];
  const std::size_t length = formatValue(unit, value, text);
  // Every text but the infinities' and not-a-numbers' starts with a digit after its sign.
  const char first = text[0] == '-' ? text[1] : text[0];
  if (first >= '0' && first <= '9') {
    appendBytes(json, text, length);
  } else {
    appendLiteral(json, "null");
  }
}

}  // namespace

void appendJiggleExtras(KeptBytes& json, const JiggleBone& bone) {
  const std::uint32_t flags = jiggleFlags(bone);
  appendLiteral(json, "{\"jigglebone\":{");
  bool firstBlock = true;
  for (const JiggleBlock& block : kJiggleBlocks) {
    if ((flags & block.flag) == 0) continue;
    if (!firstBlock) appendByte(json, ',');
    firstBlock = false;
    appendByte(json, '"');
    appendBytes(json, block.keyword, block.length);
    appendLiteral(json, "\":{");
    bool firstLine = true;
    for (std::size_t k = block.first; k < block.end; ++k) {
      const JiggleKeyword& keyword = kJiggleKeywords[k];
      if (!keywordShows(keyword, flags)) continue;
      if (!firstLine) appendByte(json, ',');
      firstLine = false;
      appendByte(json, '"');
      appendBytes(json, keyword.keyword, keyword.length);
      appendLiteral(json, "\":");
      if (keyword.valueCount == 2) appendByte(json, '[');
      appendValue(json, keyword.unit, jiggleValue(bone, keyword.fields[0]));
      if (keyword.valueCount == 2) {
        appendByte(json, ',');
        appendValue(json, keyword.unit, jiggleValue(bone, keyword.fields[1]));
        appendByte(json, ']');
      }
    }
    appendByte(json, '}');
  }
  appendLiteral(json, "}}");
}

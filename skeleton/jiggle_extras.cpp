#include "skeleton/jiggle_extras.h"

#include <array>

#include "definitions/jiggle_keywords.h"
#include "definitions/value_text.h"

namespace {

// The keys made from the table once, at compile time: each one piece to copy.
struct Key {
  char text[24] = {};
  std::size_t length = 0;
};

constexpr Key key(const char* word, const char* after) {
  Key k;
  k.text[k.length++] = '"';
  for (const char* part : {word, after}) {
    for (; *part != '\0'; ++part) k.text[k.length++] = *part;
  }
  return k;
}

constexpr auto kKeywordKeys = [] {
  std::array<Key, kJiggleKeywordCount> keys{};
  for (std::size_t i = 0; i < kJiggleKeywordCount; ++i) {
    keys[i] = key(kJiggleKeywords[i].keyword, kJiggleKeywords[i].valueCount == 2 ? "\":[" : "\":");
  }
  return keys;
}();

constexpr auto kBlockKeys = [] {
  std::array<Key, kJiggleBlockCount> keys{};
  for (std::size_t i = 0; i < kJiggleBlockCount; ++i) keys[i] = key(kJiggleBlocks[i].keyword, "\":{");
  return keys;
}();

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
  for (std::size_t b = 0; b < kJiggleBlockCount; ++b) {
    const JiggleBlock& block = kJiggleBlocks[b];
    if ((flags & block.flag) == 0) continue;
    if (!firstBlock) appendByte(json, ',');
    firstBlock = false;
    appendBytes(json, kBlockKeys[b].text, kBlockKeys[b].length);
    bool firstLine = true;
    for (std::size_t k = block.first; k < block.end; ++k) {
      const JiggleKeyword& keyword = kJiggleKeywords[k];
      if (!keywordShows(keyword, flags)) continue;
      if (!firstLine) appendByte(json, ',');
      firstLine = false;
      appendBytes(json, kKeywordKeys[k].text, kKeywordKeys[k].length);
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

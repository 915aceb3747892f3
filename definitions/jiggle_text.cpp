#include "definitions/jiggle_text.h"

#include <array>
#include <cstring>

#include "definitions/angle_conversion.h"
#include "definitions/number_format.h"

namespace {

// Fixed texts made from the table once, at compile time, so that each is one fixed-size
// copy into the sink.
struct Piece {
  char text[32] = {};
  std::size_t length = 0;
};

constexpr Piece piece(const char* before, const char* keyword, const char* after) {
  Piece p;
  for (const char* part : {before, keyword, after}) {
    for (; *part != '\0'; ++part) p.text[p.length++] = *part;
  }
  return p;
}

constexpr auto kLinePrefixes = [] {
  std::array<Piece, kJiggleKeywordCount> prefixes{};
  for (std::size_t i = 0; i < kJiggleKeywordCount; ++i) {
    prefixes[i] = piece("\t\t", kJiggleKeywords[i].keyword, " ");
  }
  return prefixes;
}();

constexpr auto kOpenings = [] {
  std::array<Piece, kJiggleBlockCount> openings{};
  for (std::size_t i = 0; i < kJiggleBlockCount; ++i) {
    openings[i] = piece(kJiggleBlocks[i].spacedOut ? "\n\t" : "\t", kJiggleBlocks[i].keyword, " {\n");
  }
  return openings;
}();

constexpr auto kConsoleParts = [] {
  std::array<Piece, kJiggleBlockCount> parts{};
  for (std::size_t i = 0; i < kJiggleBlockCount; ++i) parts[i] = piece("- ", kJiggleBlocks[i].keyword, " ");
  return parts;
}();

std::size_t formatValue(const JiggleBone& bone, const JiggleKeyword& keyword, std::size_t which,
                        char (&number)[kNumberTextSize]) {
  const float value = jiggleValue(bone, keyword.fields[which]);
  return keyword.unit == JiggleUnit::WholeDegrees ? formatInteger(toWholeDegrees(value), number)
                                                   : formatGeneral(value, number);
}

void putValues(TextSink& out, const JiggleBone& bone, const JiggleKeyword& keyword) {
  char number[kNumberTextSize] = {};
  sinkWriteFromArray(out, number, formatValue(bone, keyword, 0, number));
  if (keyword.valueCount == 2) {
    sinkLiteral(out, " ");
    sinkWriteFromArray(out, number, formatValue(bone, keyword, 1, number));
  }
}

}  // namespace

std::size_t renderKeywordValues(const JiggleBone& bone, const JiggleKeyword& keyword,
                                char (&text)[64]) {
  char number[kNumberTextSize] = {};
  std::size_t length = formatValue(bone, keyword, 0, number);
  std::memcpy(text, number, length);
  if (keyword.valueCount == 2) {
    text[length++] = ' ';
    const std::size_t second = formatValue(bone, keyword, 1, number);
    std::memcpy(text + length, number, second);
    length += second;
  }
  return length;
}

void renderJiggleBone(const JiggleBone& bone, TextSink& file, TextSink& console) {
  const std::uint32_t flags = jiggleFlags(bone);
  sinkLiteral(console, "Jigglebone: ");
  sinkWrite(console, bone.name, bone.nameLength);
  sinkLiteral(console, " ");
  sinkLiteral(file, "$jigglebone \"");
  sinkWrite(file, bone.name, bone.nameLength);
  sinkLiteral(file, "\" {\n");
  for (std::size_t b = 0; b < kJiggleBlockCount; ++b) {
    const JiggleBlock& block = kJiggleBlocks[b];
    if ((flags & block.flag) == 0) continue;
    sinkWriteFromArray(console, kConsoleParts[b].text, kConsoleParts[b].length);
    sinkWriteFromArray(file, kOpenings[b].text, kOpenings[b].length);
    for (std::size_t k = block.first; k < block.end; ++k) {
      if (!keywordShows(kJiggleKeywords[k], flags)) continue;
      sinkWriteFromArray(file, kLinePrefixes[k].text, kLinePrefixes[k].length);
      putValues(file, bone, kJiggleKeywords[k]);
      sinkLiteral(file, "\n");
    }
    sinkLiteral(file, "\t}\n");
  }
  sinkLiteral(console, "\n");
  sinkLiteral(file, "}\n\n");
}

void renderJiggleDefinitions(const ModelImage& image, TextSink& file, TextSink& console) {
  const std::int32_t bones = boneCount(image);
  JiggleBone decoded;
  for (std::int32_t i = 0; i < bones; ++i) {
    const unsigned char* bone = boneRecord(image, i);
    if (!isJiggleBone(bone)) continue;
    decodeJiggleBone(image, bone, decoded);
    renderJiggleBone(decoded, file, console);
  }
}

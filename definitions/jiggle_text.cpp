#include "definitions/jiggle_text.h"

#include <array>
#include <cstring>
#include <utility>

#include "definitions/value_text.h"

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

// The lines below are laid out from the table at compile time, one keyword at a time, so
// that a block's text is straight-line code: at hundreds of thousands of bones a loop over
// the table, with its tests of each row, costs a tenth more than the text itself.
template <JiggleUnit unit>
void putValue(ByteSink& out, const JiggleBone& bone, std::size_t field, char end) {
  char number[kNumberTextSize] = {};
  const std::size_t length = formatValueAs<unit>(jiggleValue(bone, field), number);
  number[length] = end;  // the numbers' texts leave room for it
  sinkWriteFromArray(out, number, length + 1);
}

template <std::size_t K>
void putLine(ByteSink& file, const JiggleBone& bone, std::uint32_t flags) {
  constexpr const JiggleKeyword& keyword = kJiggleKeywords[K];
  if constexpr (isSwitch(keyword)) {
    return;  // never written: the dump's lines are fixed
  } else if constexpr (keyword.flag != 0) {
    if ((flags & keyword.flag) == 0) return;
  }
  sinkWriteFromArray(file, kLinePrefixes[K].text, kLinePrefixes[K].length);
  if constexpr (keyword.valueCount == 2) {
    putValue<keyword.unit>(file, bone, keyword.fields[0], ' ');
    putValue<keyword.unit>(file, bone, keyword.fields[1], '\n');
  } else {
    putValue<keyword.unit>(file, bone, keyword.fields[0], '\n');
  }
}

template <std::size_t B, std::size_t... I>
void putLines(ByteSink& file, const JiggleBone& bone, std::uint32_t flags, std::index_sequence<I...>) {
  (putLine<kJiggleBlocks[B].first + I>(file, bone, flags), ...);
}

// A block of the bone's text.
template <std::size_t B>
void putBlock(ByteSink& file, const JiggleBone& bone, std::uint32_t flags) {
  constexpr const JiggleBlock& block = kJiggleBlocks[B];
  if ((flags & block.flag) == 0) return;
  sinkWriteFromArray(file, kOpenings[B].text, kOpenings[B].length);
  putLines<B>(file, bone, flags, std::make_index_sequence<block.end - block.first>{});
  sinkLiteral(file, "\t}\n");
}

template <std::size_t... B>
void putBlocks(ByteSink& file, const JiggleBone& bone, std::index_sequence<B...>) {
  const std::uint32_t flags = jiggleFlags(bone);
  (putBlock<B>(file, bone, flags), ...);
}

// What follows the bone's "{": the line end, its blocks, and its closing "}".
void putBoneRest(const JiggleBone& bone, ByteSink& file) {
  sinkLiteral(file, "\n");
  putBlocks(file, bone, std::make_index_sequence<kJiggleBlockCount>{});
  sinkLiteral(file, "}");
}

}  // namespace

std::size_t renderKeywordValues(const JiggleBone& bone, const JiggleKeyword& keyword,
                                char (&text)[64]) {
  char number[kNumberTextSize] = {};
  std::size_t length = formatValue(keyword.unit, jiggleValue(bone, keyword.fields[0]), number);
  std::memcpy(text, number, length);
  if (keyword.valueCount == 2) {
    text[length++] = ' ';
    const std::size_t second = formatValue(keyword.unit, jiggleValue(bone, keyword.fields[1]), number);
    std::memcpy(text + length, number, second);
    length += second;
  }
  return length;
}

void renderJiggleBone(const JiggleBone& bone, ByteSink& file) {
  sinkLiteral(file, "$jigglebone \"");
  sinkWrite(file, bone.name, bone.nameLength);
  sinkLiteral(file, "\" {");
  putBoneRest(bone, file);
  sinkLiteral(file, "\n\n");
}

void renderJiggleBoneLine(const char* name, std::size_t nameLength, std::uint32_t flags, ByteSink& console) {
  sinkLiteral(console, "Jigglebone: ");
  sinkWrite(console, name, nameLength);
  sinkLiteral(console, " ");
  for (std::size_t b = 0; b < kJiggleBlockCount; ++b) {
    if ((flags & kJiggleBlocks[b].flag) != 0) sinkWriteFromArray(console, kConsoleParts[b].text, kConsoleParts[b].length);
  }
  sinkLiteral(console, "\n");
}

void renderJiggleBoneRest(const JiggleBone& bone, ByteSink& file) { putBoneRest(bone, file); }

namespace {

// The counts for every combination of the bits the text shows, made once, at compile time.
constexpr std::uint32_t kShownBitsMask = 0x7F;
static_assert((kTextBits & ~kShownBitsMask) == 0);
constexpr auto kRestLines = [] {
  std::array<std::uint8_t, kShownBitsMask + 1> counts{};
  for (std::uint32_t flags = 0; flags <= kShownBitsMask; ++flags) {
    std::size_t lines = 1;  // the end of the bone's opening line
    for (const JiggleBlock& block : kJiggleBlocks) {
      if ((flags & block.flag) == 0) continue;
      lines += (block.spacedOut ? 1 : 0) + 2;  // an empty line before it, its opening and closing lines
      for (std::size_t k = block.first; k < block.end; ++k) lines += keywordShows(kJiggleKeywords[k], flags) ? 1 : 0;
    }
    counts[flags] = static_cast<std::uint8_t>(lines);
  }
  return counts;
}();

}  // namespace

std::size_t jiggleBoneRestLines(std::uint32_t flags) { return kRestLines[flags & kShownBitsMask]; }

std::size_t renderJiggleDefinitions(const ModelImage& image, ByteSink& file) {
  const std::int32_t bones = boneCount(image);
  std::size_t written = 0;
  JiggleBone decoded;
  for (std::int32_t i = 0; i < bones; ++i) {
    const unsigned char* bone = boneRecord(image, i);
    if (!isJiggleBone(bone)) continue;
    decodeJiggleBone(image, bone, decoded);
    renderJiggleBone(decoded, file);
    ++written;
  }
  return written;
}

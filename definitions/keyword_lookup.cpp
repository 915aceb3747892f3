#include "definitions/keyword_lookup.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "definitions/jiggle_keywords.h"
#include "definitions/near_words.h"

namespace {

// A keyword in lower case, for the tables; false when the word is longer than any keyword.
bool lowered(const char* text, std::size_t length, char (&out)[kLongestKeyword + 1]) {
  if (length > kLongestKeyword) return false;
  for (std::size_t i = 0; i < length; ++i) out[i] = lowerAscii(text[i]);
  return true;
}

// For each block, the keywords it holds by their length, so that a word is compared with
// the one or two keywords of its length only.
constexpr std::uint8_t kNone = 0xFF;
constexpr auto kKeywordsByLength = [] {
  std::array<std::array<std::array<std::uint8_t, 4>, kLongestKeyword + 1>, kJiggleBlockCount> byLength{};
  for (auto& block : byLength) {
    for (auto& candidates : block) candidates.fill(kNone);
  }
  for (std::size_t b = 0; b < kJiggleBlockCount; ++b) {
    for (std::size_t k = kJiggleBlocks[b].first; k < kJiggleBlocks[b].end; ++k) {
      auto& candidates = byLength[b][kJiggleKeywords[k].length];
      std::size_t slot = 0;
      while (candidates[slot] != kNone) ++slot;  // at most three keywords share a length
      candidates[slot] = static_cast<std::uint8_t>(k);
    }
  }
  return byLength;
}();

}  // namespace

bool isBoneCommand(const TextSpan& word) {
  return sameIgnoringCapitals(word.text, word.length, kBoneCommand, kBoneCommandLength);
}

int findKeywordIn(const char* text, std::size_t length, std::size_t block) {
  char word[kLongestKeyword + 1] = {};
  if (block >= kJiggleBlockCount || !lowered(text, length, word)) return -1;
  for (const std::uint8_t k : kKeywordsByLength[block][length]) {
    if (k == kNone) break;
    if (std::memcmp(kJiggleKeywords[k].keyword, word, length) == 0) return k;
  }
  return -1;
}

int findAnyKeyword(const char* text, std::size_t length) {
  for (std::size_t b = 0; b < kJiggleBlockCount; ++b) {
    const int keyword = findKeywordIn(text, length, b);
    if (keyword >= 0) return keyword;
  }
  return -1;
}

int findBlock(const char* text, std::size_t length) {
  for (std::size_t b = 0; b < kJiggleBlockCount; ++b) {
    if (sameIgnoringCapitals(text, length, kJiggleBlocks[b].keyword, kJiggleBlocks[b].length)) {
      return static_cast<int>(b);
    }
  }
  return -1;
}

bool isForeignWord(const TextSpan& word) {
  for (const ForeignJiggleWord& foreign : kForeignJiggleWords) {
    if (sameIgnoringCapitals(word.text, word.length, foreign.word, std::strlen(foreign.word))) return true;
  }
  return false;
}

bool isLanguageWord(const TextSpan& word) {
  return (word.length > 0 && word.text[0] == '$') || findBlock(word.text, word.length) >= 0 ||
         findAnyKeyword(word.text, word.length) >= 0 || isForeignWord(word);
}

#include "definitions/near_words.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::size_t kLongest = 40;  // longer words are no keyword's misspelling


}  // namespace

bool sameIgnoringCapitals(const char* a, std::size_t aLength, const char* b, std::size_t bLength) {
  if (aLength != bLength) return false;
  for (std::size_t i = 0; i < aLength; ++i) {
    if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
  }
  return true;
}

// The edit distance with swaps of neighbours (optimal string alignment), over three rows.
std::size_t editsApart(const char* word, std::size_t length, const char* target, std::size_t targetLength) {
  if (length > kLongest || targetLength > kLongest) return kFarApart;
  if (length + 2 < targetLength || targetLength + 2 < length) return kFarApart;
  std::array<std::size_t, kLongest + 1> before{}, previous{}, current{};
  for (std::size_t j = 0; j <= targetLength; ++j) previous[j] = j;
  for (std::size_t i = 1; i <= length; ++i) {
    current[0] = i;
    for (std::size_t j = 1; j <= targetLength; ++j) {
      const bool same = lowerAscii(word[i - 1]) == lowerAscii(target[j - 1]);
      std::size_t best = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + (same ? 0 : 1)});
      if (i > 1 && j > 1 && lowerAscii(word[i - 1]) == lowerAscii(target[j - 2]) &&
          lowerAscii(word[i - 2]) == lowerAscii(target[j - 1])) {
        best = std::min(best, before[j - 2] + 1);
      }
      current[j] = best;
    }
    before = previous;
    previous = current;
  }
  return std::min(previous[targetLength], kFarApart);
}

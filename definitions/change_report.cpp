#include "definitions/change_report.h"

#include <cstring>

#include "definitions/jiggle_keywords.h"
#include "definitions/jiggle_text.h"
#include "definitions/value_text.h"

namespace {

struct Report {
  ByteSink& console;
  const JiggleBone& bone;
  bool started = false;
};

void startPart(Report& report) {
  if (!report.started) {
    sinkLiteral(report.console, "Changed ");
    sinkWrite(report.console, report.bone.name, report.bone.nameLength);
    sinkLiteral(report.console, ": ");
    report.started = true;
  } else {
    sinkLiteral(report.console, ", ");
  }
}

// A keyword line's values after the edit: as the dump shows them, but for an angle the edit
// changed, which shows as written (45.4 where the dump shows 45).
std::size_t editedValues(const JiggleBone& before, const JiggleBone& after, const JiggleKeyword& keyword,
                         char (&text)[64]) {
  std::size_t length = 0;
  for (std::size_t i = 0; i < keyword.valueCount; ++i) {
    const std::size_t word = keyword.fields[i] / 4;
    const float value = jiggleValue(after, keyword.fields[i]);
    char number[kNumberTextSize] = {};
    const std::size_t size = keyword.unit == JiggleUnit::WholeDegrees && after.words[word] != before.words[word]
                                 ? formatWrittenDegrees(value, number)
                                 : formatValue(keyword.unit, value, number);
    if (i > 0) text[length++] = ' ';
    std::memcpy(text + length, number, size);
    length += size;
  }
  return length;
}

}  // namespace

bool renderBoneChanges(const JiggleBone& before, const JiggleBone& after, ByteSink& console) {
  const std::uint32_t oldFlags = jiggleFlags(before);
  const std::uint32_t newFlags = jiggleFlags(after);
  Report report{console, before};
  for (const JiggleBlock& block : kJiggleBlocks) {
    const bool was = (oldFlags & block.flag) != 0;
    if (was == ((newFlags & block.flag) != 0)) continue;
    startPart(report);
    sinkWrite(console, block.keyword, block.length);
    if (was) {
      sinkLiteral(console, " removed");
    } else {
      sinkLiteral(console, " added");
    }
  }
  for (std::size_t k = 0; k < kJiggleKeywordCount; ++k) {
    const JiggleKeyword& keyword = kJiggleKeywords[k];
    // A switch has no line in the dump: what it did is said in words, "length may flex".
    if (isSwitch(keyword)) {
      if ((oldFlags & keyword.flag) != 0 && (newFlags & keyword.flag) == 0) {
        startPart(report);
        const char* role = kJiggleRoleNames[static_cast<std::size_t>(keyword.role)];
        sinkWrite(console, role, std::strlen(role));
        sinkLiteral(console, " may flex");
      }
      continue;
    }
    char oldText[64] = {};
    char newText[64] = {};
    const bool wasShown = blockShowing(k, oldFlags) >= 0;
    const bool isShown = blockShowing(k, newFlags) >= 0;
    const std::size_t oldLength = wasShown ? renderKeywordValues(before, keyword, oldText) : 0;
    const std::size_t newLength = isShown ? editedValues(before, after, keyword, newText) : 0;
    if (wasShown == isShown && oldLength == newLength &&
        std::memcmp(oldText, newText, oldLength) == 0) {
      continue;
    }
    startPart(report);
    sinkWrite(console, keyword.keyword, keyword.length);
    sinkLiteral(console, " ");
    if (wasShown) {
      sinkWrite(console, oldText, oldLength);
    } else {
      sinkLiteral(console, "(none)");
    }
    sinkLiteral(console, " -> ");
    if (isShown) {
      sinkWrite(console, newText, newLength);
    } else {
      sinkLiteral(console, "(none)");
    }
  }
  if (!report.started) return false;
  sinkLiteral(console, "\n");
  // A limit that goes while its tip block stays went because its line was left out: said in
  // words, since "(none)" alone is easily read past.
  if ((oldFlags & kTipBits) != 0 && (newFlags & kTipBits) != 0) {
    for (std::size_t k = 0; k < kJiggleKeywordCount; ++k) {
      const JiggleKeyword& keyword = kJiggleKeywords[k];
      if (keyword.role != JiggleRole::Limit || keyword.flag == 0) continue;
      if ((oldFlags & keyword.flag) == 0 || (newFlags & keyword.flag) != 0) continue;
      sinkWrite(console, before.name, before.nameLength);
      sinkLiteral(console, ": ");
      const char* axis = kJiggleAxisNames[static_cast<std::size_t>(keyword.axis)];
      sinkWrite(console, axis, std::strlen(axis));
      sinkLiteral(console, " limit removed\n");
    }
  }
  return true;
}

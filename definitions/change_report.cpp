#include "definitions/change_report.h"

#include <cstring>

#include "definitions/jiggle_keywords.h"
#include "definitions/jiggle_text.h"

namespace {

struct Report {
  TextSink& console;
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

}  // namespace

bool renderBoneChanges(const JiggleBone& before, const JiggleBone& after, TextSink& console) {
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
    char oldText[64] = {};
    char newText[64] = {};
    const bool wasShown = blockShowing(k, oldFlags) >= 0;
    const bool isShown = blockShowing(k, newFlags) >= 0;
    const std::size_t oldLength = wasShown ? renderKeywordValues(before, keyword, oldText) : 0;
    const std::size_t newLength = isShown ? renderKeywordValues(after, keyword, newText) : 0;
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

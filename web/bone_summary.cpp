#include "web/bone_summary.h"

#include "definitions/jiggle_keywords.h"
#include "definitions/jiggle_text.h"
#include "model/jiggle_bone.h"

namespace {

constexpr char kField = '\x1f';
constexpr char kRecord = '\x1e';

void putBone(const JiggleBone& bone, std::string& out) {
  const std::uint32_t flags = jiggleFlags(bone);
  out.append(bone.name, bone.nameLength);
  out += kField;
  const char* parting = "";
  for (const JiggleBlock& block : kJiggleBlocks) {
    if ((flags & block.flag) == 0) continue;
    out += parting;
    out.append(block.keyword, block.length);
    parting = " ";
  }
  // Facts the text does not show. A flexible tip without LengthFixed may stretch along
  // its length; with it, it keeps its length.
  out += kField;
  if ((flags & FlexibleTip) != 0) out += (flags & LengthFixed) != 0 ? "length-fixed" : "length-flexes";
  for (std::size_t k = 0; k < kJiggleKeywordCount; ++k) {
    const int block = blockShowing(k, flags);
    if (block < 0) continue;
    const JiggleKeyword& keyword = kJiggleKeywords[k];
    char values[64] = {};
    out += kField;
    const JiggleBlock& shownIn = kJiggleBlocks[static_cast<std::size_t>(block)];
    out.append(shownIn.keyword, shownIn.length);
    out += keyword.unit == JiggleUnit::WholeDegrees ? " d " : " s ";
    out += kJiggleRoleNames[static_cast<std::size_t>(keyword.role)];
    out += ' ';
    out += kJiggleAxisNames[static_cast<std::size_t>(keyword.axis)];
    out += ' ';
    out.append(keyword.keyword, keyword.length);
    out += ' ';
    out.append(values, renderKeywordValues(bone, keyword, values));
  }
  out += kRecord;
}

}  // namespace

void renderBoneSummary(const DumpResult& result, std::string& out) {
  forEachDumpedRecord(result, [&](const JiggleBone& bone) { putBone(bone, out); });
}

void renderImageBoneSummary(const ModelImage& image, std::string& out) {
  JiggleBone bone;
  forEachJiggleBone(image, [&](std::int32_t, const unsigned char* record) {
    decodeJiggleBone(image, record, bone);
    putBone(bone, out);
    return true;
  });
}

#include "skeleton/bone_details.h"

#include "model/byte_order.h"
#include "model/model_bounds.h"

void gatherBoneDetails(const ModelImage& image, std::int32_t count, JiggleBone* decoded, BoneDetails* details) {
  const auto size = static_cast<std::uint64_t>(image.size);
  for (std::int32_t i = 0; i < count; ++i) {
    BoneDetails& bone = details[i];
    bone = BoneDetails{};
    bone.name = checkedBoneName(image, i, bone.nameLength);
    const unsigned char* record = boneRecord(image, i);
    if (!isJiggleBone(record)) continue;
    const std::int64_t params = (record - image.bytes) + static_cast<std::int64_t>(readInt32LE(record + BoneRecord::kRuleOffset));
    if (params < 0 || static_cast<std::uint64_t>(params) > size ||
        size - static_cast<std::uint64_t>(params) < JiggleParams::kSize) {
      continue;
    }
    JiggleBone& jiggle = decoded[i];
    jiggle.name = bone.name;
    jiggle.nameLength = bone.nameLength;
    jiggle.record = static_cast<std::size_t>(params);
    decodeJiggleRecord(image.bytes + params, jiggle.words);
    bone.jiggle = &jiggle;
  }
}

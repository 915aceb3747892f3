#include "web/skeleton_summary.h"

#include <cfloat>

#include "skeleton/bone_details.h"
#include "skeleton/bone_kinds.h"
#include "skeleton/bone_tips.h"
#include "skeleton/float_text.h"
#include "skeleton/world_frames.h"

namespace {

constexpr char kField = '\x1f';
constexpr char kRecord = '\x1e';

void putFloat(std::string& out, double value) {
  char text[kFloatTextSize];
  // A shape longer than any float, which only a hostile model has, is held at the largest.
  const float shown = fitsFloat32(value) ? static_cast<float>(value) : value < 0 ? -FLT_MAX : FLT_MAX;
  out.append(text, formatShortestFloat(shown, text));
}

void putFloats(std::string& out, const double* values, int count) {
  out += kField;
  for (int i = 0; i < count; ++i) {
    if (i != 0) out += ' ';
    putFloat(out, values[i]);
  }
}

struct Scratch {
  SkeletonBone* bones;
  JiggleBone* decoded;
  BoneDetails* details;
  BoneTip* tips;
  WorldFrame* frames;
};

void release(const MemoryHook& memory, Scratch& s) {
  freeWith(memory, s.bones);
  freeWith(memory, s.decoded);
  freeWith(memory, s.details);
  freeWith(memory, s.tips);
  freeWith(memory, s.frames);
}

void putBones(const Scratch& s, std::int32_t count, std::string& out) {
  std::int32_t jiggles = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    const SkeletonBone& bone = s.bones[i];
    const BoneDetails& details = s.details[i];
    if (details.name != nullptr) out.append(details.name, details.nameLength);
    out += kField;
    out += std::to_string(bone.parent);
    out += kField;
    out += boneKindLook(boneKindOf(details.jiggle)).word;
    const double position[3] = {bone.position[0], bone.position[1], bone.position[2]};
    putFloats(out, position, 3);
    double rotation[4];
    unitRotation(bone.rotation, rotation);
    putFloats(out, rotation, 4);
    putFloats(out, s.tips[i].direction, 3);
    putFloats(out, &s.tips[i].length, 1);
    out += kField;
    out += std::to_string(details.jiggle != nullptr ? jiggles++ : -1);
    out += kRecord;
  }
}

}  // namespace

bool renderSkeletonSummary(const ModelImage& image, const MemoryHook& memory, std::string& out,
                           SkeletonFault& fault) {
  const std::int32_t count = skeletonBoneCount(image);
  const auto n = static_cast<std::size_t>(count);
  Scratch s{static_cast<SkeletonBone*>(allocateZeroedWith(memory, n, sizeof(SkeletonBone))),
            static_cast<JiggleBone*>(allocateZeroedWith(memory, n, sizeof(JiggleBone))),
            static_cast<BoneDetails*>(allocateZeroedWith(memory, n, sizeof(BoneDetails))),
            static_cast<BoneTip*>(allocateZeroedWith(memory, n, sizeof(BoneTip))),
            static_cast<WorldFrame*>(allocateZeroedWith(memory, n, sizeof(WorldFrame)))};
  fault = SkeletonFault{};
  bool drawn = false;
  if (s.bones != nullptr && s.decoded != nullptr && s.details != nullptr && s.tips != nullptr &&
      s.frames != nullptr && readSkeleton(image, s.bones, fault) &&
      chainWorldFrames(s.bones, count, s.frames, fault)) {
    gatherBoneDetails(image, count, s.decoded, s.details);
    findBoneTips(s.bones, count, s.details, s.tips);
    putBones(s, count, out);
    drawn = true;
  }
  release(memory, s);
  return drawn;
}

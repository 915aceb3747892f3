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
  JiggleBone* decoded;
  BoneDetails* details;
  BoneTip* tips;
};

void putBones(const SkeletonFacts& facts, const Scratch& s, std::string& out) {
  std::int32_t jiggles = 0;
  forEachSkeletonBone(facts, [&](std::int32_t i, const SkeletonBone& bone, const char* name, std::size_t length, bool) {
    const BoneDetails& details = s.details[i];
    out.append(name, length);
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
  });
}

}  // namespace

bool renderSkeletonSummary(const DumpResult& result, const MemoryHook& memory, std::string& out) {
  const SkeletonFacts& facts = result.skeleton;
  const auto n = static_cast<std::size_t>(facts.count);
  Scratch s{static_cast<JiggleBone*>(allocateZeroedWith(memory, n, sizeof(JiggleBone))),
            static_cast<BoneDetails*>(allocateZeroedWith(memory, n, sizeof(BoneDetails))),
            static_cast<BoneTip*>(allocateZeroedWith(memory, n, sizeof(BoneTip)))};
  const bool drawn = s.decoded != nullptr && s.details != nullptr && s.tips != nullptr;
  if (drawn) {
    // Each jiggle bone's record is the result's, in the same table order.
    std::size_t jiggles = 0;
    forEachSkeletonBone(facts, [&](std::int32_t i, const SkeletonBone&, const char* name, std::size_t length,
                                   bool isJiggle) {
      BoneDetails& details = s.details[i];
      details.name = name;
      details.nameLength = length;
      if (!isJiggle || result.records == nullptr || jiggles >= result.jiggleBones) return;
      JiggleBone& jiggle = s.decoded[i];
      jiggle.name = name;
      jiggle.nameLength = length;
      for (std::size_t w = 0; w < kJiggleWords; ++w) jiggle.words[w] = result.records[jiggles][w];
      details.jiggle = &jiggle;
      ++jiggles;
    });
    findBoneTips(facts.bones, facts.count, s.details, s.tips);
    putBones(facts, s, out);
  }
  freeWith(memory, s.decoded);
  freeWith(memory, s.details);
  freeWith(memory, s.tips);
  return drawn;
}

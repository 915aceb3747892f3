// Skeletons that cannot be drawn: each is a fact naming the bone and why, read safely from
// any bytes, and none changes what the dump gives for the same model.
#include "model/skeleton_bones.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <vector>

#include "skeleton/world_frames.h"
#include "tests/support/in_memory.h"
#include "tests/support/model_builder.h"

namespace {

// The sample's four bones in a chain, each a unit along its parent's X.
ModelPlan chainedSample() {
  ModelPlan plan = sampleModelPlan();
  for (std::size_t i = 0; i < plan.bones.size(); ++i) {
    plan.bones[i].parent = static_cast<std::int32_t>(i) - 1;
    plan.bones[i].position = std::array<float, 3>{1, 0, 0};
    plan.bones[i].rotation = std::array<float, 4>{0, 0, 0, 1};
    plan.bones[i].inverseWorld = std::array<float, 12>{1, 0, 0, -static_cast<float>(i + 1), 0, 1, 0, 0, 0, 0, 1, 0};
  }
  return plan;
}

// What reading and chaining the skeleton finds.
SkeletonFault skeletonFaultOf(const std::vector<unsigned char>& bytes) {
  const ModelImage image{const_cast<unsigned char*>(bytes.data()), bytes.size()};
  // Exactly as many as counted, so that a read past them is caught under the sanitizers.
  std::vector<SkeletonBone> bones(static_cast<std::size_t>(skeletonBoneCount(image)));
  std::vector<WorldFrame> frames(bones.size());
  SkeletonFault fault;
  if (readSkeleton(image, bones.data(), fault)) {
    chainWorldFrames(bones.data(), static_cast<std::int32_t>(bones.size()), frames.data(), fault);
  }
  return fault;
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

struct Case {
  const char* title;
  std::function<void(ModelPlan&)> plan;
  std::function<void(BuiltModel&)> bytes;  // after building; may cut the file
  SkeletonFaultKind kind;
  std::int32_t bone;
  std::int32_t parent;  // for ParentOutOfOrder
};

TEST(SkeletonBones, HostileSkeletonsAreFactsThatLeaveTheDumpAlone) {
  const auto same = [](BuiltModel&) {};
  const auto keep = [](ModelPlan&) {};
  using K = SkeletonFaultKind;
  const Case cases[] = {
      {"sound", keep, same, K::None, -1, -1},
      {"parent after its bone", [](ModelPlan& p) { p.bones[1].parent = 2; }, same, K::ParentOutOfOrder, 1, 2},
      {"parent is the bone itself", [](ModelPlan& p) { p.bones[2].parent = 2; }, same, K::ParentOutOfOrder, 2, 2},
      {"parent below -1", [](ModelPlan& p) { p.bones[3].parent = -2; }, same, K::ParentOutOfOrder, 3, -2},
      {"not-a-number position", [](ModelPlan& p) { (*p.bones[2].position)[1] = kNaN; }, same, K::NotFinite, 2, -1},
      {"infinite rotation", [](ModelPlan& p) { (*p.bones[1].rotation)[3] = -kInfinity; }, same, K::NotFinite, 1, -1},
      {"matrix's last value infinite", [](ModelPlan& p) { (*p.bones[3].inverseWorld)[11] = kInfinity; }, same,
       K::NotFinite, 3, -1},
      {"zero rotation", [](ModelPlan& p) { p.bones[2].rotation = std::array<float, 4>{-0.0f, 0, 0, 0}; }, same,
       K::ZeroRotation, 2, -1},
      {"the smallest rotation is no zero",
       [](ModelPlan& p) { p.bones[2].rotation = std::array<float, 4>{0, 0, 1e-45f, 0}; }, same, K::None, -1, -1},
      {"huge places within reach",
       [](ModelPlan& p) { p.bones[0].position = p.bones[1].position = std::array<float, 3>{1.5e38f, 0, 0}; },
       same, K::None, -1, -1},
      {"huge places out of reach",
       [](ModelPlan& p) { p.bones[0].position = p.bones[1].position = std::array<float, 3>{0, 0, -2e38f}; },
       same, K::OutOfReach, 1, -1},
      {"record past the end", keep,
       [](BuiltModel& m) { m.bytes.resize(m.boneTable + 4 * BoneLayout::kSize - 1); }, K::BoneOutside, 3, -1},
      {"table before the file", keep, [](BuiltModel& m) { putInt32(m.bytes, HeaderLayout::kBoneTableOffset, -8); },
       K::BoneOutside, 0, -1},
      {"count past the file", keep,
       [](BuiltModel& m) {
         putInt32(m.bytes, HeaderLayout::kBoneCount, kMax);
         m.bytes.resize(m.boneTable + 5 * BoneLayout::kSize - 1);
       },
       K::BoneOutside, 4, -1},
      {"header cut before the table's offset", keep,
       [](BuiltModel& m) { m.bytes.resize(HeaderLayout::kBoneTableOffset + 3); }, K::BoneOutside, -1, -1},
  };
  const DumpedModel sound = dumpInMemory(buildModel(chainedSample()).bytes);
  ASSERT_EQ(sound.status, 0);
  for (const Case& c : cases) {
    ModelPlan plan = chainedSample();
    c.plan(plan);
    BuiltModel model = buildModel(plan);
    const std::size_t builtSize = model.bytes.size();
    c.bytes(model);
    const SkeletonFault fault = skeletonFaultOf(model.bytes);
    EXPECT_EQ(fault.kind, c.kind) << c.title;
    EXPECT_EQ(fault.bone, c.bone) << c.title;
    if (c.kind == K::ParentOutOfOrder) {
      EXPECT_EQ(fault.parent, c.parent) << c.title;
    }
    if (model.bytes.size() == builtSize && c.kind != K::BoneOutside) {
      const DumpedModel dumped = dumpInMemory(model.bytes);
      EXPECT_EQ(dumped.status, sound.status) << c.title;
      EXPECT_EQ(dumped.console, sound.console) << c.title;
      EXPECT_EQ(dumped.text, sound.text) << c.title;
    }
  }
}

}  // namespace

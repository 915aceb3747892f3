// Which way and how far each bone's shape reaches, and the kinds' colours.
#include "skeleton/bone_tips.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "skeleton/bone_kinds.h"
#include "tests/support/model_layout.h"

namespace {

struct Bone {
  std::int32_t parent;
  float position[3];
  std::uint32_t jiggleFlags;  // 0xFFFFFFFF: not a jiggle bone
  float jiggleLength;
};
constexpr std::uint32_t kPlain = 0xFFFFFFFF;
constexpr std::uint32_t kFlexible = JiggleBit::kFlexibleTip;

struct Expected {
  double direction[3];
  double length;
};

void expectTips(const char* title, const std::vector<Bone>& plan, const std::vector<Expected>& expected) {
  std::vector<SkeletonBone> bones(plan.size());
  std::vector<JiggleBone> jiggles(plan.size());
  std::vector<BoneDetails> details(plan.size());
  for (std::size_t i = 0; i < plan.size(); ++i) {
    bones[i] = SkeletonBone{plan[i].parent, {plan[i].position[0], plan[i].position[1], plan[i].position[2]},
                            {0, 0, 0, 1}, {}};
    if (plan[i].jiggleFlags == kPlain) continue;
    jiggles[i].words[JiggleLayout::kFlags / 4] = plan[i].jiggleFlags;
    jiggles[i].words[JiggleLayout::kLength / 4] = std::bit_cast<std::uint32_t>(plan[i].jiggleLength);
    details[i].jiggle = &jiggles[i];
  }
  std::vector<BoneTip> tips(plan.size());
  findBoneTips(bones.data(), static_cast<std::int32_t>(plan.size()), details.data(), tips.data());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    for (int k = 0; k < 3; ++k) EXPECT_EQ(tips[i].direction[k], expected[i].direction[k]) << title << " bone " << i;
    EXPECT_EQ(tips[i].length, expected[i].length) << title << " bone " << i;
  }
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();

TEST(BoneTips, PointAtTheFirstChildElseAlongTheirSortsAxis) {
  // Two roots, each with its first child the lowest-numbered; 3-4-5 for exact lengths.
  expectTips("first child",
             {{-1, {}, kPlain, 0}, {-1, {}, kPlain, 0}, {1, {0, 0, 2}, kPlain, 0}, {0, {0, 3, 4}, kPlain, 0},
              {1, {9, 0, 0}, kPlain, 0}},
             {{{0, 0.6, 0.8}, 5}, {{0, 0, 1}, 2}});
  // Leaves: a jiggle tip's own length; else half the parent's; a root, 1. Jiggle leaves
  // point along +Z when no jiggle bone has a child, plain ones along the root's +X.
  expectTips("leaf lengths",
             {{-1, {}, kPlain, 0}, {0, {6, 0, 0}, kFlexible, 7}, {0, {}, kPlain, 0},
              {0, {1, 0, 0}, JiggleBit::kRigidTip, 0}, {0, {1, 0, 0}, kFlexible, kNaN},
              {0, {1, 0, 0}, JiggleBit::kBaseSpring, 9}, {0, {1, 0, 0}, kFlexible, kInfinity}},
             {{{1, 0, 0}, 6}, {{0, 0, 1}, 7}, {{1, 0, 0}, 3}, {{0, 0, 1}, 3}, {{0, 0, 1}, 3}, {{0, 0, 1}, 3},
              {{0, 0, 1}, 3}});
  expectTips("a lone root", {{-1, {}, kPlain, 0}}, {{{0, 0, 1}, 1}});
  // A child at the bone's own place points nowhere: the leaf rules. Jiggle leaves follow
  // the jiggle bones with a child (two along -Y, one +X), plain ones all such bones (four
  // along +X).
  expectTips("leaves follow their sort",
             {{-1, {}, kPlain, 0}, {0, {2, 0, 0}, kPlain, 0}, {1, {1, 0, 0}, kFlexible, 0},
              {2, {0, -2, 0}, kFlexible, 0}, {3, {0, -2, 0}, kFlexible, 0}, {4, {4, 0, 0}, kFlexible, 0},
              {5, {}, kFlexible, 0}, {6, {}, kPlain, 0}, {0, {0, 0, 1}, kPlain, 0}, {8, {3, 0, 0}, kPlain, 0}},
             {{{1, 0, 0}, 2}, {{1, 0, 0}, 1}, {{0, -1, 0}, 2}, {{0, -1, 0}, 2}, {{1, 0, 0}, 4}, {{0, -1, 0}, 2},
              {{0, -1, 0}, 1}, {{1, 0, 0}, 0.5}, {{1, 0, 0}, 3}, {{1, 0, 0}, 1.5}});
  expectTips("no jiggle bone with a child: +Z",
             {{-1, {}, kPlain, 0}, {0, {1, 0, 0}, kFlexible, 0}, {1, {0, 0, 0}, kPlain, 0}},
             {{{1, 0, 0}, 1}, {{0, 0, 1}, 0.5}});
}

TEST(BoneKinds, ByTheirBlocksWithTheirLinearColours) {
  const std::pair<std::uint32_t, const char*> cases[] = {
      {JiggleBit::kFlexibleTip | JiggleBit::kRigidTip | JiggleBit::kBaseSpring, "flexible"},
      {JiggleBit::kRigidTip | JiggleBit::kBaseSpring, "rigid"}, {JiggleBit::kBaseSpring | JiggleBit::kAngleLimited, "base"},
      {JiggleBit::kYawLimited | 0x20, "still"}};
  for (const auto& [flags, word] : cases) {
    JiggleBone jiggle;
    jiggle.words[JiggleLayout::kFlags / 4] = flags;
    EXPECT_STREQ(boneKindLook(boneKindOf(&jiggle)).word, word);
  }
  EXPECT_STREQ(boneKindLook(boneKindOf(nullptr)).word, "plain");
  // The sRGB curve, from its definition.
  for (const BoneKindLook& look : kBoneKinds) {
    for (int k = 0; k < 3; ++k) {
      const double c = look.srgb[k] / 255.0;
      const double linear = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
      EXPECT_NEAR(look.linear[k], linear, 1e-6) << look.word << " " << k;
    }
  }
}

}  // namespace

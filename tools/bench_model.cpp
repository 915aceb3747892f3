#include "tools/bench_model.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>


namespace {

// A small fixed generator: the same models on every run and every machine.
std::uint32_t nextRandom(std::uint64_t& state) {
  state = state * 6364136223846793005ULL + 1442695040888963407ULL;
  return static_cast<std::uint32_t>(state >> 33);
}

// Values of the kinds artists type and compilers store, and a few that print in exponent
// form, so every branch of the number text is exercised.
float variedValue(std::uint64_t& state) {
  const std::uint32_t pick = nextRandom(state);
  const auto whole = static_cast<float>(pick % 1000);
  switch (pick % 8) {
    case 0: return whole;                                  // 0 .. 999
    case 1: return whole / 10.0f;                          // one decimal
    case 2: return whole / 1000.0f;                        // 0.xyz
    case 3: return -whole / 7.0f;                          // six significant digits
    case 4: return whole * 12345.678f;                     // large, often exponent form
    case 5: return whole * 1e-7f;                          // tiny, exponent form
    case 6: return static_cast<float>(pick) / 4294967296.0f;  // 0 .. 1, full precision
    default: return 0.5f * static_cast<float>(pick % 3);
  }
}

}  // namespace

JigglePlan benchJigglePlan(std::size_t seed) {
  using P = JiggleLayout;
  std::uint64_t state = 0x9E3779B97F4A7C15ULL ^ static_cast<std::uint64_t>(seed);
  JigglePlan rule;
  using B = JiggleBit;
  rule.flags = B::kFlexibleTip | B::kRigidTip | B::kYawLimited | B::kPitchLimited |
               B::kAngleLimited | B::kBaseSpring;
  for (std::size_t offset = P::kLength; offset < P::kSize; offset += 4) {
    rule.set(offset, variedValue(state));
  }
  const auto degrees = [&state] { return static_cast<double>(nextRandom(state) % 361) - 180.0; };
  rule.set(P::kAngleLimit, radiansOf(degrees()));
  rule.set(P::kYawMin, radiansOf(degrees())).set(P::kYawMax, radiansOf(degrees()));
  rule.set(P::kPitchMin, radiansOf(degrees())).set(P::kPitchMax, radiansOf(degrees()));
  return rule;
}

ModelPlan benchModelPlan(std::size_t bones) {
  ModelPlan plan;
  plan.name = "models/bench/jiggle_bench.mdl";
  plan.bones.reserve(bones + bones / 8 + 1);
  for (std::size_t i = 0; i < bones; ++i) {
    if (i % 8 == 7) plan.bones.push_back(BonePlan{"plain_" + std::to_string(i), 0, std::nullopt});
    plan.bones.push_back(jiggleBone("jiggle_bone_" + std::to_string(i), benchJigglePlan(i)));
  }
  return plan;
}

namespace {

BonePlan placedBone(std::string name, std::int32_t parent, std::array<float, 3> position,
                    std::array<float, 4> rotation = {0, 0, 0, 1}) {
  BonePlan bone{std::move(name), 0, std::nullopt};
  bone.parent = parent;
  bone.position = position;
  bone.rotation = rotation;
  return bone;
}

std::int32_t lastIndex(const ModelPlan& plan) { return static_cast<std::int32_t>(plan.bones.size()) - 1; }

// A hair link's settings, stiffer near the head; chain 8 has a base spring too, chain 9 a
// rigid tip held within a yaw limit.
JigglePlan hairPlan(int chain, int link) {
  using P = JiggleLayout;
  using B = JiggleBit;
  JigglePlan rule;
  rule.flags = chain == 9 ? B::kRigidTip | B::kYawLimited : B::kFlexibleTip | B::kAngleLimited;
  if (chain == 8) rule.flags |= B::kBaseSpring;
  const auto stiffness = static_cast<float>(120 - 8 * link);
  rule.set(P::kLength, 2.6f).set(P::kYawStiffness, stiffness).set(P::kPitchStiffness, stiffness);
  rule.set(P::kYawDamping, 8).set(P::kPitchDamping, 8).set(P::kAlongStiffness, 100).set(P::kAlongDamping, 8);
  rule.set(P::kAngleLimit, radiansOf(40)).set(P::kYawMin, radiansOf(-20)).set(P::kYawMax, radiansOf(20));
  rule.set(P::kBaseMass, 1).set(P::kBaseStiffness, 60).set(P::kBaseDamping, 3);
  for (std::size_t min : {P::kLeftMin, P::kUpMin, P::kForwardMin}) rule.set(min, -1).set(min + 4, 1);
  return rule;
}

}  // namespace

ModelPlan skeletonModelPlan() {
  ModelPlan plan;
  plan.name = "characters/bench/skeleton_180.mdl";
  plan.bones.push_back(placedBone("pelvis", -1, {0, 0, 30}));
  for (int i = 1; i <= 4; ++i) plan.bones.push_back(placedBone("spine_" + std::to_string(i), lastIndex(plan), {0, 0, 5}));
  const std::int32_t chest = lastIndex(plan);
  plan.bones.push_back(placedBone("neck", chest, {0, 0, 2.5f}));
  plan.bones.push_back(placedBone("head", lastIndex(plan), {0, 0, 2.5f}));
  const std::int32_t head = lastIndex(plan);
  for (int side = 0; side < 2; ++side) {
    const float x = side == 0 ? 1.0f : -1.0f;
    const std::string s = side == 0 ? "_L" : "_R";
    plan.bones.push_back(placedBone("clavicle" + s, chest, {3 * x, 0, -1}));
    plan.bones.push_back(placedBone("upper_arm" + s, lastIndex(plan), {5 * x, 0, 0}));
    plan.bones.push_back(placedBone("forearm" + s, lastIndex(plan), {10 * x, 0, 0}));
    plan.bones.push_back(placedBone("hand" + s, lastIndex(plan), {9 * x, 0, 0}));
    const std::int32_t hand = lastIndex(plan);
    for (int finger = 0; finger < 5; ++finger) {
      std::int32_t parent = hand;
      for (int link = 0; link < 3; ++link) {
        const std::array<float, 3> at = link == 0 ? std::array<float, 3>{2 * x, static_cast<float>(finger) - 2, 0}
                                                  : std::array<float, 3>{1.5f * x, 0, 0};
        plan.bones.push_back(placedBone("finger_" + std::to_string(finger) + "_" + std::to_string(link) + s, parent, at));
        parent = lastIndex(plan);
      }
    }
    plan.bones.push_back(placedBone("thigh" + s, 0, {4 * x, 0, -2}));
    plan.bones.push_back(placedBone("calf" + s, lastIndex(plan), {0, 0, -12}));
    plan.bones.push_back(placedBone("foot" + s, lastIndex(plan), {0, 0, -12}));
    plan.bones.push_back(placedBone("toe" + s, lastIndex(plan), {0, -4, -2}));
  }
  for (int i = 0; i < 27; ++i) {
    plan.bones.push_back(placedBone("face_" + std::to_string(i), head,
                                    {-2 + 0.5f * static_cast<float>(i % 9), -3, -1 + 1.5f * static_cast<float>(i / 9)}));
  }
  // Round the back of the head from the right side to the left, each chain's frame turned
  // about z by its angle, each link hanging down and a little out from the one above.
  for (int chain = 0; chain < 10; ++chain) {
    const double angle = 3.14159265358979323846 * chain / 9;
    std::int32_t parent = head;
    for (int link = 0; link < 10; ++link) {
      BonePlan bone = link == 0
          ? placedBone("", head, {static_cast<float>(3.5 * std::cos(angle)), static_cast<float>(3.5 * std::sin(angle)), 2},
                       {0, 0, static_cast<float>(std::sin(angle / 2)), static_cast<float>(std::cos(angle / 2))})
          : placedBone("", parent, {0.3f, 0, -2.5f});
      bone.name = "hair_" + std::to_string(chain) + "_" + std::to_string(link);
      bone.ruleType = kJiggleRuleValue;
      bone.rule = hairPlan(chain, link);
      plan.bones.push_back(bone);
      parent = lastIndex(plan);
    }
  }
  return plan;
}

namespace {

// Values as artists type them: mostly short decimals, a few with more digits.
float typedValue(std::uint64_t& state, std::uint32_t range) {
  const std::uint32_t pick = nextRandom(state);
  switch (pick % 4) {
    case 0: return static_cast<float>(pick / 4 % range);
    case 1: return static_cast<float>(pick / 4 % (10 * range)) / 10.0f;
    case 2: return static_cast<float>(pick / 4 % (100 * range)) / 100.0f;
    default: return static_cast<float>(pick / 4 % (range * 1000)) / 997.0f;
  }
}

const char* const kBoneParts[] = {"hair", "skirt", "tail", "ear", "breast", "coat",
                                  "cape", "ribbon", "strap", "bag", "antenna", "scarf"};
const char* const kBoneSides[] = {"", "L_", "R_", "left_", "right_", "front_", "back_"};

// A skeleton as characters have: the plain bones a tree (each under the one of half its
// number), the jiggle bones chains of four hanging from plain ones, every bone unturned, so
// that its stored inverse world transform only takes its place away.
void placeBatchBones(ModelPlan& plan, std::size_t plain) {
  std::vector<std::array<float, 3>> world(plan.bones.size());
  for (std::size_t i = 0; i < plan.bones.size(); ++i) {
    const std::size_t jiggle = i - plain;
    const std::int32_t parent = i == 0 ? -1
                                : i < plain ? static_cast<std::int32_t>((i - 1) / 2)
                                : jiggle % 4 == 0 ? static_cast<std::int32_t>(jiggle / 4 * 7 % plain)
                                                  : static_cast<std::int32_t>(i - 1);
    const std::array<float, 3> place = i < plain ? std::array<float, 3>{static_cast<float>(i % 3) - 1, 0, 3}
                                                 : std::array<float, 3>{0, -0.5f, -2};
    for (std::size_t k = 0; k < 3; ++k) world[i][k] = (parent < 0 ? 0 : world[static_cast<std::size_t>(parent)][k]) + place[k];
    BonePlan& bone = plan.bones[i];
    bone.parent = parent;
    bone.position = place;
    bone.rotation = std::array<float, 4>{0, 0, 0, 1};
    bone.inverseWorld = std::array<float, 12>{1, 0, 0, -world[i][0], 0, 1, 0, -world[i][1], 0, 0, 1, -world[i][2]};
  }
}

}  // namespace

BatchModel batchModel(std::size_t index) {
  using P = JiggleLayout;
  std::uint64_t state = 0xD1B54A32D192ED03ULL ^ (static_cast<std::uint64_t>(index) << 20);
  // Few jiggle bones are common, many are rare: 1 to 150, weighted towards the low end.
  const std::uint32_t spread = nextRandom(state) % 1000;
  const std::size_t jiggles = 1 + spread * spread / 6700;
  char name[64];
  std::snprintf(name, sizeof name, "characters/batch/model_%04zu.mdl", index);
  BatchModel model;
  model.plan.name = name;
  const std::size_t plain = 10 + nextRandom(state) % 120;
  for (std::size_t i = 0; i < plain; ++i) {
    model.plan.bones.push_back(BonePlan{"bip_plain_" + std::to_string(i), 0, std::nullopt});
  }
  for (std::size_t i = 0; i < jiggles; ++i) {
    std::snprintf(name, sizeof name, "%s%s%zu", kBoneSides[nextRandom(state) % 7],
                  kBoneParts[nextRandom(state) % 12], i);
    JigglePlan rule;
    const std::uint32_t kind = nextRandom(state);
    using B = JiggleBit;
    rule.flags = (kind % 3 == 0 ? B::kRigidTip : B::kFlexibleTip) |
                 (kind / 3 % 4 == 0 ? B::kBaseSpring : 0U) | (kind / 12 % 2 == 0 ? B::kYawLimited : 0U) |
                 (kind / 24 % 3 == 0 ? B::kPitchLimited : 0U) |
                 (kind / 72 % 4 == 0 ? B::kAngleLimited : 0U) | (kind / 288 % 3 == 0 ? 0x20U : 0U);
    for (std::size_t offset = P::kLength; offset < P::kSize; offset += 4) {
      rule.set(offset, typedValue(state, 100));
    }
    const auto degrees = [&state] { return static_cast<double>(nextRandom(state) % 91) - 45.0; };
    rule.set(P::kAngleLimit, radiansOf(degrees()));
    rule.set(P::kYawMin, radiansOf(-degrees())).set(P::kYawMax, radiansOf(degrees()));
    rule.set(P::kPitchMin, radiansOf(-degrees())).set(P::kPitchMax, radiansOf(degrees()));
    model.plan.bones.push_back(jiggleBone(name, rule));
  }
  placeBatchBones(model.plan, plain);
  // Meshes and animations make up most of a real file: 4 KiB to 2 MiB, spread evenly
  // over the powers of two.
  const double scale = static_cast<double>(nextRandom(state) % 1000) / 1000.0;
  model.fileSize = static_cast<std::size_t>(4096.0 * std::exp2(9.0 * scale));
  return model;
}

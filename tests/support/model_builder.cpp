#include "tests/support/model_builder.h"

#include <bit>
#include <cstring>

void putInt32(std::vector<unsigned char>& bytes, std::size_t offset, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  for (std::size_t i = 0; i < 4; ++i) bytes[offset + i] = static_cast<unsigned char>(bits >> (8 * i));
}

void putInt16(std::vector<unsigned char>& bytes, std::size_t offset, std::int16_t value) {
  const auto bits = static_cast<std::uint16_t>(value);
  bytes[offset] = static_cast<unsigned char>(bits);
  bytes[offset + 1] = static_cast<unsigned char>(bits >> 8);
}

std::int32_t getInt32(const std::vector<unsigned char>& bytes, std::size_t offset) {
  std::uint32_t bits = 0;
  for (std::size_t i = 0; i < 4; ++i) bits |= static_cast<std::uint32_t>(bytes[offset + i]) << (8 * i);
  return static_cast<std::int32_t>(bits);
}

namespace {

void putFloat(std::vector<unsigned char>& bytes, std::size_t offset, float value) {
  putInt32(bytes, offset, static_cast<std::int32_t>(std::bit_cast<std::uint32_t>(value)));
}

std::size_t append(std::vector<unsigned char>& bytes, std::size_t length) {
  const std::size_t at = bytes.size();
  bytes.resize(at + length);
  return at;
}

// Names then rule records; fills in where each bone's went.
void appendRecords(const ModelPlan& plan, BuiltModel& model) {
  for (std::size_t i = 0; i < plan.bones.size(); ++i) {
    const std::string& name = plan.bones[i].name;
    model.boneNames[i] = append(model.bytes, name.size() + 1);
    std::memcpy(model.bytes.data() + model.boneNames[i], name.c_str(), name.size() + 1);
  }
  for (std::size_t i = 0; i < plan.bones.size(); ++i) {
    if (!plan.bones[i].rule) continue;
    const JigglePlan& rule = *plan.bones[i].rule;
    const std::size_t at = append(model.bytes, JiggleLayout::kSize);
    putInt32(model.bytes, at + JiggleLayout::kFlags, static_cast<std::int32_t>(rule.flags));
    for (std::size_t field = 1; field < rule.values.size(); ++field) {
      if (4 * field != JiggleLayout::kUnread) putFloat(model.bytes, at + 4 * field, rule.values[field]);
    }
    model.boneRules[i] = at;
  }
}

template <std::size_t N>
void putFloats(std::vector<unsigned char>& bytes, std::size_t offset, const std::optional<std::array<float, N>>& values) {
  if (!values) return;
  for (std::size_t i = 0; i < N; ++i) putFloat(bytes, offset + 4 * i, (*values)[i]);
}

void putPlace(const BonePlan& plan, std::vector<unsigned char>& bytes, std::size_t bone) {
  if (plan.parent) putInt32(bytes, bone + BoneLayout::kParent, *plan.parent);
  putFloats(bytes, bone + BoneLayout::kPosition, plan.position);
  putFloats(bytes, bone + BoneLayout::kRotation, plan.rotation);
  putFloats(bytes, bone + BoneLayout::kInverseWorld, plan.inverseWorld);
}

std::int32_t relative(std::size_t target, std::size_t from) {
  return static_cast<std::int32_t>(static_cast<std::int64_t>(target) -
                                   static_cast<std::int64_t>(from));
}

}  // namespace

BuiltModel buildModel(const ModelPlan& plan) {
  BuiltModel model;
  model.bytes.assign(plan.headerSize, 0);
  model.boneNames.assign(plan.bones.size(), 0);
  model.boneRules.assign(plan.bones.size(), 0);
  std::memcpy(model.bytes.data(), "IDST", 4);
  putInt32(model.bytes, HeaderLayout::kVersion, plan.version);
  std::memcpy(model.bytes.data() + HeaderLayout::kName, plan.name.data(),
              plan.name.size() < HeaderLayout::kNameWidth ? plan.name.size()
                                                          : HeaderLayout::kNameWidth);
  if (plan.headerSize >= HeaderLayout::kRetiredWord + 4) {
    putInt32(model.bytes, HeaderLayout::kRetiredWord, plan.retiredWord);
  }

  if (plan.recordsBeforeBones) appendRecords(plan, model);
  model.boneTable = append(model.bytes, plan.bones.size() * BoneLayout::kSize);
  if (!plan.recordsBeforeBones) appendRecords(plan, model);
  model.descriptorTable = append(model.bytes, plan.descriptors.size() * DescriptorLayout::kSize);
  for (std::size_t i = 0; i < plan.descriptors.size(); ++i) {
    std::memcpy(model.bytes.data() + model.descriptorTable + i * DescriptorLayout::kSize,
                plan.descriptors[i].data(), DescriptorLayout::kSize);
  }

  for (std::size_t i = 0; i < plan.bones.size(); ++i) {
    const std::size_t bone = model.boneTable + i * BoneLayout::kSize;
    putInt32(model.bytes, bone + BoneLayout::kNameOffset, relative(model.boneNames[i], bone));
    putInt32(model.bytes, bone + BoneLayout::kRuleType, plan.bones[i].ruleType);
    if (plan.bones[i].rule) {
      putInt32(model.bytes, bone + BoneLayout::kRuleOffset, relative(model.boneRules[i], bone));
    }
    putPlace(plan.bones[i], model.bytes, bone);
  }
  putInt32(model.bytes, HeaderLayout::kBoneCount, static_cast<std::int32_t>(plan.bones.size()));
  putInt32(model.bytes, HeaderLayout::kBoneTableOffset, static_cast<std::int32_t>(model.boneTable));
  putInt32(model.bytes, HeaderLayout::kAnimCount, static_cast<std::int32_t>(plan.descriptors.size()));
  putInt32(model.bytes, HeaderLayout::kAnimTableOffset,
           static_cast<std::int32_t>(model.descriptorTable));
  return model;
}

BonePlan jiggleBone(std::string name, JigglePlan rule) {
  return BonePlan{std::move(name), kJiggleRuleValue, rule};
}

float radiansOf(double degrees) {
  return static_cast<float>(degrees * 3.14159265358979323846 / 180.0);
}

ModelPlan sampleModelPlan() {
  using P = JiggleLayout;
  JigglePlan tail;
  tail.flags = JiggleBit::kFlexibleTip | JiggleBit::kYawLimited | JiggleBit::kAngleLimited;
  tail.set(P::kYawStiffness, 100).set(P::kYawDamping, 5).set(P::kPitchStiffness, 100);
  tail.set(P::kPitchDamping, 5).set(P::kAlongStiffness, 50).set(P::kAlongDamping, 2);
  tail.set(P::kLength, 12).set(P::kTipMass, 0.5f).set(P::kYawMin, radiansOf(-30));
  tail.set(P::kYawMax, radiansOf(30)).set(P::kYawFriction, 1).set(P::kAngleLimit, radiansOf(45));

  JigglePlan spring;
  spring.flags = JiggleBit::kRigidTip | JiggleBit::kPitchLimited | JiggleBit::kBaseSpring;
  spring.set(P::kLength, 8).set(P::kTipMass, 0.25f).set(P::kPitchMin, radiansOf(-20));
  spring.set(P::kPitchMax, radiansOf(20)).set(P::kPitchFriction, 0.5f);
  spring.set(P::kPitchBounce, 0.1f).set(P::kBaseMass, 2).set(P::kBaseStiffness, 300);
  spring.set(P::kBaseDamping, 10).set(P::kLeftMin, -1.5f).set(P::kLeftMax, 1.5f);
  spring.set(P::kLeftFriction, 0.2f).set(P::kUpMin, -2).set(P::kUpMax, 2);
  spring.set(P::kUpFriction, 0.3f).set(P::kForwardMin, -0.5f).set(P::kForwardMax, 0.5f);
  spring.set(P::kForwardFriction, 0.1f);

  ModelPlan plan;
  plan.name = "props/crate01.mdl";
  plan.bones.push_back(BonePlan{"root", 0, std::nullopt});
  plan.bones.push_back(jiggleBone("tail_1", tail));
  plan.bones.push_back(jiggleBone("tail_2", spring));
  // A bone with the jiggle rule type but no record is not a jiggle bone.
  plan.bones.push_back(BonePlan{"tail_tip", kJiggleRuleValue, std::nullopt});
  // A crate with its tail standing up behind it, Z up, each bone unturned: a bone's inverse
  // world transform only takes its place away.
  const float places[4][3] = {{0, 0, 0}, {0, 10, 20}, {0, 0, 12}, {0, 0, 8}};
  float world[3] = {0, 0, 0};
  for (std::size_t i = 0; i < plan.bones.size(); ++i) {
    BonePlan& bone = plan.bones[i];
    bone.parent = static_cast<std::int32_t>(i) - 1;
    bone.position = std::array<float, 3>{places[i][0], places[i][1], places[i][2]};
    bone.rotation = std::array<float, 4>{0, 0, 0, 1};
    for (int k = 0; k < 3; ++k) world[k] += places[i][k];
    bone.inverseWorld = std::array<float, 12>{1, 0, 0, -world[0], 0, 1, 0, -world[1], 0, 0, 1, -world[2]};
  }
  plan.descriptors.push_back({});
  return plan;
}

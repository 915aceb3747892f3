// Byte offsets and sizes of the model records the tool reads (header, bone, jiggle
// parameters, animation descriptor), the jiggle flag bits and the rule type, written out
// here for the tests and never taken from model/: a wrong offset or size in the tool must
// then show as a test failure instead of being written wrong by the builder as well.
#pragma once

#include <cstddef>
#include <cstdint>

struct HeaderLayout {
  static constexpr std::size_t kVersion = 4;
  static constexpr std::size_t kName = 12;
  static constexpr std::size_t kNameWidth = 64;
  static constexpr std::size_t kBoneCount = 156;
  static constexpr std::size_t kBoneTableOffset = 160;
  static constexpr std::size_t kAnimCount = 180;
  static constexpr std::size_t kAnimTableOffset = 184;
  static constexpr std::size_t kRetiredWord = 380;
  static constexpr std::size_t kUsedSize = 188;  // up to the end of animTableOffset
};

struct BoneLayout {
  static constexpr std::size_t kSize = 216;
  static constexpr std::size_t kNameOffset = 0;
  static constexpr std::size_t kParent = 4;         // int32, -1 for a root
  static constexpr std::size_t kPosition = 32;      // three float32, relative to the parent
  static constexpr std::size_t kRotation = 44;      // four float32, x y z w
  static constexpr std::size_t kInverseWorld = 96;  // twelve float32, 3x4 row-major
  static constexpr std::size_t kRuleType = 164;
  static constexpr std::size_t kRuleOffset = 168;
};

struct JiggleLayout {
  static constexpr std::size_t kSize = 120;
  static constexpr std::size_t kFlags = 0;
  static constexpr std::size_t kLength = 4;
  static constexpr std::size_t kTipMass = 8;
  static constexpr std::size_t kYawStiffness = 12;
  static constexpr std::size_t kYawDamping = 16;
  static constexpr std::size_t kPitchStiffness = 20;
  static constexpr std::size_t kPitchDamping = 24;
  static constexpr std::size_t kAlongStiffness = 28;
  static constexpr std::size_t kAlongDamping = 32;
  static constexpr std::size_t kAngleLimit = 36;
  static constexpr std::size_t kYawMin = 40;
  static constexpr std::size_t kYawMax = 44;
  static constexpr std::size_t kYawFriction = 48;
  static constexpr std::size_t kUnread = 52;
  static constexpr std::size_t kPitchMin = 56;
  static constexpr std::size_t kPitchMax = 60;
  static constexpr std::size_t kPitchFriction = 64;
  static constexpr std::size_t kPitchBounce = 68;
  static constexpr std::size_t kBaseMass = 72;
  static constexpr std::size_t kBaseStiffness = 76;
  static constexpr std::size_t kBaseDamping = 80;
  static constexpr std::size_t kLeftMin = 84;
  static constexpr std::size_t kLeftMax = 88;
  static constexpr std::size_t kLeftFriction = 92;
  static constexpr std::size_t kUpMin = 96;
  static constexpr std::size_t kUpMax = 100;
  static constexpr std::size_t kUpFriction = 104;
  static constexpr std::size_t kForwardMin = 108;
  static constexpr std::size_t kForwardMax = 112;
  static constexpr std::size_t kForwardFriction = 116;
};

struct JiggleBit {
  static constexpr std::uint32_t kFlexibleTip = 0x01;
  static constexpr std::uint32_t kRigidTip = 0x02;
  static constexpr std::uint32_t kYawLimited = 0x04;
  static constexpr std::uint32_t kPitchLimited = 0x08;
  static constexpr std::uint32_t kAngleLimited = 0x10;
  static constexpr std::uint32_t kBaseSpring = 0x40;
};

struct DescriptorLayout {
  static constexpr std::size_t kSize = 100;
  static constexpr std::size_t kFrameCount = 16;
  static constexpr std::size_t kBlockIndex = 52;
  static constexpr std::size_t kSectionWord = 84;
  static constexpr std::size_t kSpanLength = 88;
  static constexpr std::size_t kSpanOffset = 92;
};

constexpr std::int32_t kJiggleRuleValue = 5;  // ruleType of a bone driven by jiggle parameters
constexpr std::int32_t kLatestLayoutVersion = 48;

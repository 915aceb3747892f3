#include "web/bone_summary.h"

#include <cstring>

#include "definitions/angle_conversion.h"
#include "definitions/number_format.h"

namespace {

constexpr char kField = '\x1f';
constexpr char kRecord = '\x1e';

using P = JiggleParams;

struct Line {
  const char* block;
  char unit;
  const char* keyword;
  std::size_t first;
  std::size_t second;  // 0: one value
};

void putValue(std::string& out, const unsigned char* params, char unit, std::size_t field) {
  char number[kNumberTextSize] = {};
  const std::size_t length =
      unit == 'd' ? formatInteger(toWholeDegrees(jiggleValue(params, field)), number)
                  : formatGeneral(jiggleValue(params, field), number);
  out.append(number, length);
}

void putLine(std::string& out, const unsigned char* params, const Line& line) {
  out += kField;
  out += line.block;
  out += ' ';
  out += line.unit;
  out += ' ';
  out += line.keyword;
  out += ' ';
  putValue(out, params, line.unit, line.first);
  if (line.second != 0) {
    out += ' ';
    putValue(out, params, line.unit, line.second);
  }
}

void putLimitLines(std::string& out, const unsigned char* params, std::uint32_t flags,
                   const char* block) {
  if ((flags & YawLimited) != 0) {
    putLine(out, params, {block, 'd', "yaw_constraint", P::kYawMin, P::kYawMax});
    putLine(out, params, {block, 's', "yaw_friction", P::kYawFriction, 0});
  }
  if ((flags & AngleLimited) != 0) {
    putLine(out, params, {block, 'd', "angle_constraint", P::kAngleLimit, 0});
  }
  if ((flags & PitchLimited) != 0) {
    putLine(out, params, {block, 'd', "pitch_constraint", P::kPitchMin, P::kPitchMax});
    putLine(out, params, {block, 's', "pitch_friction", P::kPitchFriction, 0});
    putLine(out, params, {block, 's', "pitch_bounce", P::kPitchBounce, 0});
  }
}

}  // namespace

void renderBoneSummary(const ModelImage& image, std::string& out) {
  const std::int32_t bones = boneCount(image);
  for (std::int32_t i = 0; i < bones; ++i) {
    const unsigned char* bone = boneRecord(image, i);
    if (!isJiggleBone(bone)) continue;
    const unsigned char* params = jiggleParams(bone);
    const std::uint32_t flags = jiggleFlags(params);
    out += boneName(bone);
    out += kField;
    std::string blocks;
    if ((flags & FlexibleTip) != 0) blocks += " is_flexible";
    if ((flags & RigidTip) != 0) blocks += " is_rigid";
    if ((flags & BaseSpring) != 0) blocks += " has_base_spring";
    if (!blocks.empty()) out.append(blocks, 1);
    if ((flags & FlexibleTip) != 0) {
      const char* b = "is_flexible";
      putLine(out, params, {b, 's', "yaw_stiffness", P::kYawStiffness, 0});
      putLine(out, params, {b, 's', "yaw_damping", P::kYawDamping, 0});
      putLine(out, params, {b, 's', "pitch_stiffness", P::kPitchStiffness, 0});
      putLine(out, params, {b, 's', "pitch_damping", P::kPitchDamping, 0});
      putLine(out, params, {b, 's', "along_stiffness", P::kAlongStiffness, 0});
      putLine(out, params, {b, 's', "along_damping", P::kAlongDamping, 0});
    }
    if ((flags & (FlexibleTip | RigidTip)) != 0) {
      const char* b = (flags & FlexibleTip) != 0 ? "is_flexible" : "is_rigid";
      putLine(out, params, {b, 's', "length", P::kLength, 0});
      putLine(out, params, {b, 's', "tip_mass", P::kTipMass, 0});
      putLimitLines(out, params, flags, b);
    }
    if ((flags & BaseSpring) != 0) {
      const char* b = "has_base_spring";
      putLine(out, params, {b, 's', "base_mass", P::kBaseMass, 0});
      putLine(out, params, {b, 's', "stiffness", P::kBaseStiffness, 0});
      putLine(out, params, {b, 's', "damping", P::kBaseDamping, 0});
      putLine(out, params, {b, 's', "left_constraint", P::kLeftMin, P::kLeftMax});
      putLine(out, params, {b, 's', "left_friction", P::kLeftFriction, 0});
      putLine(out, params, {b, 's', "up_constraint", P::kUpMin, P::kUpMax});
      putLine(out, params, {b, 's', "up_friction", P::kUpFriction, 0});
      putLine(out, params, {b, 's', "forward_constraint", P::kForwardMin, P::kForwardMax});
      putLine(out, params, {b, 's', "forward_friction", P::kForwardFriction, 0});
    }
    out += kRecord;
  }
}

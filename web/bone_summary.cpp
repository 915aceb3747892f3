#include "web/bone_summary.h"

#include "definitions/angle_conversion.h"
#include "definitions/number_format.h"

namespace {

constexpr char kField = '\x1f';
constexpr char kRecord = '\x1e';

void putDegrees(std::string& out, const unsigned char* params, std::size_t field) {
  char number[kNumberTextSize] = {};
  out.append(number, formatInteger(toWholeDegrees(jiggleValue(params, field)), number));
}

// A limit's fields, or as many empty ones when the bone does not set it.
void putLimit(std::string& out, const unsigned char* params, bool set, std::size_t first,
              std::size_t second) {
  out += kField;
  if (set) putDegrees(out, params, first);
  out += kField;
  if (set) putDegrees(out, params, second);
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
    // Limits reach the definitions only inside a tip's block; the picture shows what they do.
    const bool tip = (flags & (FlexibleTip | RigidTip)) != 0;
    std::string kinds;
    if ((flags & FlexibleTip) != 0) kinds += " is_flexible";
    if ((flags & RigidTip) != 0) kinds += " is_rigid";
    if ((flags & BaseSpring) != 0) kinds += " has_base_spring";
    if (!kinds.empty()) out.append(kinds, 1);
    putLimit(out, params, tip && (flags & YawLimited) != 0, JiggleParams::kYawMin, JiggleParams::kYawMax);
    putLimit(out, params, tip && (flags & PitchLimited) != 0, JiggleParams::kPitchMin,
             JiggleParams::kPitchMax);
    out += kField;
    if (tip && (flags & AngleLimited) != 0) putDegrees(out, params, JiggleParams::kAngleLimit);
    out += kRecord;
  }
}

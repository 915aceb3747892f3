#include "definitions/jiggle_text.h"

#include <cstring>

#include "definitions/angle_conversion.h"
#include "definitions/number_format.h"

namespace {

using Params = JiggleParams;

template <std::size_t N>
void putGeneral(TextSink& out, const char (&key)[N], const unsigned char* params,
                std::size_t field) {
  char number[kNumberTextSize] = {};
  sinkLiteral(out, key);
  sinkWriteFromArray(out, number, formatGeneral(jiggleValue(params, field), number));
  sinkLiteral(out, "\n");
}

template <std::size_t N>
void putGeneralPair(TextSink& out, const char (&key)[N], const unsigned char* params,
                    std::size_t first, std::size_t second) {
  char number[kNumberTextSize] = {};
  sinkLiteral(out, key);
  sinkWriteFromArray(out, number, formatGeneral(jiggleValue(params, first), number));
  sinkLiteral(out, " ");
  sinkWriteFromArray(out, number, formatGeneral(jiggleValue(params, second), number));
  sinkLiteral(out, "\n");
}

void putDegrees(TextSink& out, const unsigned char* params, std::size_t field) {
  char number[kNumberTextSize] = {};
  const std::int32_t degrees = toWholeDegrees(jiggleValue(params, field));
  sinkWriteFromArray(out, number, formatInteger(degrees, number));
}

template <std::size_t N>
void putDegreesLine(TextSink& out, const char (&key)[N], const unsigned char* params,
                    std::size_t field) {
  sinkLiteral(out, key);
  putDegrees(out, params, field);
  sinkLiteral(out, "\n");
}

template <std::size_t N>
void putDegreesPair(TextSink& out, const char (&key)[N], const unsigned char* params,
                    std::size_t first, std::size_t second) {
  sinkLiteral(out, key);
  putDegrees(out, params, first);
  sinkLiteral(out, " ");
  putDegrees(out, params, second);
  sinkLiteral(out, "\n");
}

// The same lines close both kinds of tip block.
void putLimitLines(TextSink& out, const unsigned char* params, std::uint32_t flags) {
  if ((flags & YawLimited) != 0) {
    putDegreesPair(out, "\t\tyaw_constraint ", params, Params::kYawMin, Params::kYawMax);
    putGeneral(out, "\t\tyaw_friction ", params, Params::kYawFriction);
  }
  if ((flags & AngleLimited) != 0) {
    putDegreesLine(out, "\t\tangle_constraint ", params, Params::kAngleLimit);
  }
  if ((flags & PitchLimited) != 0) {
    putDegreesPair(out, "\t\tpitch_constraint ", params, Params::kPitchMin, Params::kPitchMax);
    putGeneral(out, "\t\tpitch_friction ", params, Params::kPitchFriction);
    putGeneral(out, "\t\tpitch_bounce ", params, Params::kPitchBounce);
  }
}

void renderBone(const unsigned char* bone, TextSink& file, TextSink& console) {
  const char* name = boneName(bone);
  const std::size_t nameLength = std::strlen(name);
  const unsigned char* params = jiggleParams(bone);
  const std::uint32_t flags = jiggleFlags(params);

  sinkLiteral(console, "Jigglebone: ");
  sinkWrite(console, name, nameLength);
  sinkLiteral(console, " ");
  sinkLiteral(file, "$jigglebone \"");
  sinkWrite(file, name, nameLength);
  sinkLiteral(file, "\" {\n");

  if ((flags & FlexibleTip) != 0) {
    sinkLiteral(console, "- is_flexible ");
    sinkLiteral(file, "\tis_flexible {\n");
    putGeneral(file, "\t\tyaw_stiffness ", params, Params::kYawStiffness);
    putGeneral(file, "\t\tyaw_damping ", params, Params::kYawDamping);
    putGeneral(file, "\t\tpitch_stiffness ", params, Params::kPitchStiffness);
    putGeneral(file, "\t\tpitch_damping ", params, Params::kPitchDamping);
    putGeneral(file, "\t\talong_stiffness ", params, Params::kAlongStiffness);
    putGeneral(file, "\t\talong_damping ", params, Params::kAlongDamping);
    putGeneral(file, "\t\tlength ", params, Params::kLength);
    putGeneral(file, "\t\ttip_mass ", params, Params::kTipMass);
    putLimitLines(file, params, flags);
    sinkLiteral(file, "\t}\n");
  }
  if ((flags & RigidTip) != 0) {
    sinkLiteral(console, "- is_rigid ");
    sinkLiteral(file, "\tis_rigid {\n");
    putGeneral(file, "\t\tlength ", params, Params::kLength);
    putGeneral(file, "\t\ttip_mass ", params, Params::kTipMass);
    putLimitLines(file, params, flags);
    sinkLiteral(file, "\t}\n");
  }
  if ((flags & BaseSpring) != 0) {
    sinkLiteral(console, "- has_base_spring ");
    sinkLiteral(file, "\n\thas_base_spring {\n");
    putGeneral(file, "\t\tbase_mass ", params, Params::kBaseMass);
    putGeneral(file, "\t\tstiffness ", params, Params::kBaseStiffness);
    putGeneral(file, "\t\tdamping ", params, Params::kBaseDamping);
    putGeneralPair(file, "\t\tleft_constraint ", params, Params::kLeftMin, Params::kLeftMax);
    putGeneral(file, "\t\tleft_friction ", params, Params::kLeftFriction);
    putGeneralPair(file, "\t\tup_constraint ", params, Params::kUpMin, Params::kUpMax);
    putGeneral(file, "\t\tup_friction ", params, Params::kUpFriction);
    putGeneralPair(file, "\t\tforward_constraint ", params, Params::kForwardMin,
                   Params::kForwardMax);
    putGeneral(file, "\t\tforward_friction ", params, Params::kForwardFriction);
    sinkLiteral(file, "\t}\n");
  }
  sinkLiteral(console, "\n");
  sinkLiteral(file, "}\n\n");
}

}  // namespace

void renderJiggleDefinitions(const ModelImage& image, TextSink& file, TextSink& console) {
  const std::int32_t bones = boneCount(image);
  for (std::int32_t i = 0; i < bones; ++i) {
    const unsigned char* bone = boneRecord(image, i);
    if (isJiggleBone(bone)) renderBone(bone, file, console);
  }
}

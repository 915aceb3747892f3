// The one table of a jiggle bone's text: which keyword shows which field, under which flag,
// in which unit and in which block. The writer, the reader, the apply step and the page's
// bone cards are all driven by it, so that the two directions cannot drift apart.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "model/model_image.h"

enum class JiggleUnit : std::uint8_t {
  AsStored,      // written with "%g"
  WholeDegrees,  // stored in radians, written as whole degrees
};

// One keyword line inside a block.
struct JiggleKeyword {
  char keyword[20];  // ended by a NUL; "forward_constraint" is the longest
  std::uint8_t length;
  std::uint32_t flag;  // the limit bit that shows the line inside a tip block; 0: always shown
  JiggleUnit unit;
  std::uint8_t valueCount;  // 1, or 2 for a minimum and a maximum
  std::uint8_t fields[2];   // byte offsets in JiggleParams, in the order written
};

// A block of a bone's text: its keywords are kJiggleKeywords[first, end), in the order
// written. The two tip blocks share their last eight lines (length, tip_mass and the limit
// lines): they are the same fields.
struct JiggleBlock {
  char keyword[16];
  std::uint8_t length;
  std::uint32_t flag;    // the bit that shows the block
  bool spacedOut;        // written after an empty line
  std::uint8_t first;
  std::uint8_t end;
};

inline constexpr JiggleKeyword kJiggleKeywords[] = {
    {"yaw_stiffness", 13, 0, JiggleUnit::AsStored, 1, {JiggleParams::kYawStiffness, 0}},
    {"yaw_damping", 11, 0, JiggleUnit::AsStored, 1, {JiggleParams::kYawDamping, 0}},
    {"pitch_stiffness", 15, 0, JiggleUnit::AsStored, 1, {JiggleParams::kPitchStiffness, 0}},
    {"pitch_damping", 13, 0, JiggleUnit::AsStored, 1, {JiggleParams::kPitchDamping, 0}},
    {"along_stiffness", 15, 0, JiggleUnit::AsStored, 1, {JiggleParams::kAlongStiffness, 0}},
    {"along_damping", 13, 0, JiggleUnit::AsStored, 1, {JiggleParams::kAlongDamping, 0}},
    // From here to the base spring's lines, both tip blocks.
    {"length", 6, 0, JiggleUnit::AsStored, 1, {JiggleParams::kLength, 0}},
    {"tip_mass", 8, 0, JiggleUnit::AsStored, 1, {JiggleParams::kTipMass, 0}},
    {"yaw_constraint", 14, YawLimited, JiggleUnit::WholeDegrees, 2,
     {JiggleParams::kYawMin, JiggleParams::kYawMax}},
    {"yaw_friction", 12, YawLimited, JiggleUnit::AsStored, 1, {JiggleParams::kYawFriction, 0}},
    {"angle_constraint", 16, AngleLimited, JiggleUnit::WholeDegrees, 1,
     {JiggleParams::kAngleLimit, 0}},
    {"pitch_constraint", 16, PitchLimited, JiggleUnit::WholeDegrees, 2,
     {JiggleParams::kPitchMin, JiggleParams::kPitchMax}},
    {"pitch_friction", 14, PitchLimited, JiggleUnit::AsStored, 1, {JiggleParams::kPitchFriction, 0}},
    {"pitch_bounce", 12, PitchLimited, JiggleUnit::AsStored, 1, {JiggleParams::kPitchBounce, 0}},
    // The base spring's.
    {"base_mass", 9, 0, JiggleUnit::AsStored, 1, {JiggleParams::kBaseMass, 0}},
    {"stiffness", 9, 0, JiggleUnit::AsStored, 1, {JiggleParams::kBaseStiffness, 0}},
    {"damping", 7, 0, JiggleUnit::AsStored, 1, {JiggleParams::kBaseDamping, 0}},
    {"left_constraint", 15, 0, JiggleUnit::AsStored, 2, {JiggleParams::kLeftMin, JiggleParams::kLeftMax}},
    {"left_friction", 13, 0, JiggleUnit::AsStored, 1, {JiggleParams::kLeftFriction, 0}},
    {"up_constraint", 13, 0, JiggleUnit::AsStored, 2, {JiggleParams::kUpMin, JiggleParams::kUpMax}},
    {"up_friction", 11, 0, JiggleUnit::AsStored, 1, {JiggleParams::kUpFriction, 0}},
    {"forward_constraint", 18, 0, JiggleUnit::AsStored, 2,
     {JiggleParams::kForwardMin, JiggleParams::kForwardMax}},
    {"forward_friction", 16, 0, JiggleUnit::AsStored, 1, {JiggleParams::kForwardFriction, 0}},
};
inline constexpr std::size_t kJiggleKeywordCount = sizeof kJiggleKeywords / sizeof kJiggleKeywords[0];

inline constexpr JiggleBlock kJiggleBlocks[] = {
    {"is_flexible", 11, FlexibleTip, false, 0, 14},
    {"is_rigid", 8, RigidTip, false, 6, 14},
    {"has_base_spring", 15, BaseSpring, true, 14, 23},
};
inline constexpr std::size_t kJiggleBlockCount = sizeof kJiggleBlocks / sizeof kJiggleBlocks[0];

constexpr bool lengthsAreRight() {
  for (const JiggleKeyword& k : kJiggleKeywords) {
    if (std::char_traits<char>::length(k.keyword) != k.length) return false;
  }
  for (const JiggleBlock& b : kJiggleBlocks) {
    if (std::char_traits<char>::length(b.keyword) != b.length) return false;
  }
  return true;
}
static_assert(lengthsAreRight());

// The bits the text decides; every other bit of flags is kept as stored.
inline constexpr std::uint32_t kTipBits = FlexibleTip | RigidTip;
inline constexpr std::uint32_t kLimitBits = YawLimited | PitchLimited | AngleLimited;
inline constexpr std::uint32_t kTextBits = kTipBits | kLimitBits | BaseSpring;

// Whether a keyword line shows for a bone with these flags, inside a block that shows.
constexpr bool keywordShows(const JiggleKeyword& keyword, std::uint32_t flags) {
  return keyword.flag == 0 || (flags & keyword.flag) != 0;
}

// The first block, in the order written, that shows keyword k for a bone with these flags;
// -1 where the keyword's line is not shown at all.
constexpr int blockShowing(std::size_t k, std::uint32_t flags) {
  if (!keywordShows(kJiggleKeywords[k], flags)) return -1;
  for (std::size_t b = 0; b < kJiggleBlockCount; ++b) {
    const JiggleBlock& block = kJiggleBlocks[b];
    if ((flags & block.flag) != 0 && k >= block.first && k < block.end) return static_cast<int>(b);
  }
  return -1;
}

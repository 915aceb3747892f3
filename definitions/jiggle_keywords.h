// The one table of a jiggle bone's text: which keyword shows which field, under which flag,
// in which unit, in which blocks and with which role. The writer, the reader, the apply
// step, its messages and warnings, and the page's bone cards are all driven by it, so that
// they cannot drift apart; what is derived from it is derived here, at compile time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "model/model_image.h"

enum class JiggleUnit : std::uint8_t {
  AsStored,      // written with "%g"
  WholeDegrees,  // stored in radians, written as whole degrees
};

// What a line's values do, and along which axis: the page's pictures and the warnings
// take lines by these, never by their keywords.
enum class JiggleRole : std::uint8_t { Stiffness, Damping, Length, Mass, Limit, Friction, Bounce };
enum class JiggleAxis : std::uint8_t { Yaw, Pitch, Along, Angle, Tip, Base, Left, Up, Forward };

inline constexpr const char* kJiggleRoleNames[] = {"stiffness", "damping", "length", "mass",
                                                   "limit", "friction", "bounce"};
inline constexpr const char* kJiggleAxisNames[] = {"yaw", "pitch", "along", "angle", "tip",
                                                   "base", "left", "up", "forward"};
inline constexpr std::size_t kJiggleRoleCount = sizeof kJiggleRoleNames / sizeof kJiggleRoleNames[0];
inline constexpr std::size_t kJiggleAxisCount = sizeof kJiggleAxisNames / sizeof kJiggleAxisNames[0];
static_assert(kJiggleRoleCount == static_cast<std::size_t>(JiggleRole::Bounce) + 1);
static_assert(kJiggleAxisCount == static_cast<std::size_t>(JiggleAxis::Forward) + 1);

// The roles whose values are amounts, never below zero.
constexpr bool isAmount(JiggleRole role) {
  return role == JiggleRole::Stiffness || role == JiggleRole::Damping || role == JiggleRole::Mass ||
         role == JiggleRole::Length;
}

// The blocks a keyword belongs to, a bit per block in the order of kJiggleBlocks.
inline constexpr std::uint8_t kInFlexible = 1;
inline constexpr std::uint8_t kInRigid = 2;
inline constexpr std::uint8_t kInBaseSpring = 4;
inline constexpr std::uint8_t kInTips = kInFlexible | kInRigid;

// One keyword line inside a block.
struct JiggleKeyword {
  char keyword[20];  // ended by a NUL; "forward_constraint" is the longest
  std::uint8_t length;
  // The limit bit that shows the line inside a tip block; 0: always shown. For a line
  // without values, the bit that the line's presence clears.
  std::uint32_t flag;
  JiggleUnit unit;
  // 1, or 2 for a minimum and a maximum; 0 for a line that stands alone as a switch, which
  // the dump never writes (its text is fixed) and a block without it leaves as stored.
  std::uint8_t valueCount;
  std::uint8_t fields[2];   // byte offsets in JiggleParams, in the order written
  std::uint8_t blocks;      // kIn... bits
  JiggleRole role;
  JiggleAxis axis;
};

inline constexpr JiggleKeyword kJiggleKeywords[] = {
    {"yaw_stiffness", 13, 0, JiggleUnit::AsStored, 1, {JiggleParams::kYawStiffness, 0}, kInFlexible,
     JiggleRole::Stiffness, JiggleAxis::Yaw},
    {"yaw_damping", 11, 0, JiggleUnit::AsStored, 1, {JiggleParams::kYawDamping, 0}, kInFlexible,
     JiggleRole::Damping, JiggleAxis::Yaw},
    {"pitch_stiffness", 15, 0, JiggleUnit::AsStored, 1, {JiggleParams::kPitchStiffness, 0}, kInFlexible,
     JiggleRole::Stiffness, JiggleAxis::Pitch},
    {"pitch_damping", 13, 0, JiggleUnit::AsStored, 1, {JiggleParams::kPitchDamping, 0}, kInFlexible,
     JiggleRole::Damping, JiggleAxis::Pitch},
    {"along_stiffness", 15, 0, JiggleUnit::AsStored, 1, {JiggleParams::kAlongStiffness, 0}, kInFlexible,
     JiggleRole::Stiffness, JiggleAxis::Along},
    {"along_damping", 13, 0, JiggleUnit::AsStored, 1, {JiggleParams::kAlongDamping, 0}, kInFlexible,
     JiggleRole::Damping, JiggleAxis::Along},
    // Clears LengthFixed: the tip's length may flex.
    {"allow_length_flex", 17, LengthFixed, JiggleUnit::AsStored, 0, {0, 0}, kInFlexible, JiggleRole::Length,
     JiggleAxis::Along},
    // Both tip blocks: the same fields.
    {"length", 6, 0, JiggleUnit::AsStored, 1, {JiggleParams::kLength, 0}, kInTips, JiggleRole::Length,
     JiggleAxis::Tip},
    {"tip_mass", 8, 0, JiggleUnit::AsStored, 1, {JiggleParams::kTipMass, 0}, kInTips, JiggleRole::Mass,
     JiggleAxis::Tip},
    {"yaw_constraint", 14, YawLimited, JiggleUnit::WholeDegrees, 2,
     {JiggleParams::kYawMin, JiggleParams::kYawMax}, kInTips, JiggleRole::Limit, JiggleAxis::Yaw},
    {"yaw_friction", 12, YawLimited, JiggleUnit::AsStored, 1, {JiggleParams::kYawFriction, 0}, kInTips,
     JiggleRole::Friction, JiggleAxis::Yaw},
    {"angle_constraint", 16, AngleLimited, JiggleUnit::WholeDegrees, 1, {JiggleParams::kAngleLimit, 0},
     kInTips, JiggleRole::Limit, JiggleAxis::Angle},
    {"pitch_constraint", 16, PitchLimited, JiggleUnit::WholeDegrees, 2,
     {JiggleParams::kPitchMin, JiggleParams::kPitchMax}, kInTips, JiggleRole::Limit, JiggleAxis::Pitch},
    {"pitch_friction", 14, PitchLimited, JiggleUnit::AsStored, 1, {JiggleParams::kPitchFriction, 0},
     kInTips, JiggleRole::Friction, JiggleAxis::Pitch},
    {"pitch_bounce", 12, PitchLimited, JiggleUnit::AsStored, 1, {JiggleParams::kPitchBounce, 0}, kInTips,
     JiggleRole::Bounce, JiggleAxis::Pitch},
    // The base spring's.
    {"base_mass", 9, 0, JiggleUnit::AsStored, 1, {JiggleParams::kBaseMass, 0}, kInBaseSpring,
     JiggleRole::Mass, JiggleAxis::Base},
    {"stiffness", 9, 0, JiggleUnit::AsStored, 1, {JiggleParams::kBaseStiffness, 0}, kInBaseSpring,
     JiggleRole::Stiffness, JiggleAxis::Base},
    {"damping", 7, 0, JiggleUnit::AsStored, 1, {JiggleParams::kBaseDamping, 0}, kInBaseSpring,
     JiggleRole::Damping, JiggleAxis::Base},
    {"left_constraint", 15, 0, JiggleUnit::AsStored, 2, {JiggleParams::kLeftMin, JiggleParams::kLeftMax},
     kInBaseSpring, JiggleRole::Limit, JiggleAxis::Left},
    {"left_friction", 13, 0, JiggleUnit::AsStored, 1, {JiggleParams::kLeftFriction, 0}, kInBaseSpring,
     JiggleRole::Friction, JiggleAxis::Left},
    {"up_constraint", 13, 0, JiggleUnit::AsStored, 2, {JiggleParams::kUpMin, JiggleParams::kUpMax},
     kInBaseSpring, JiggleRole::Limit, JiggleAxis::Up},
    {"up_friction", 11, 0, JiggleUnit::AsStored, 1, {JiggleParams::kUpFriction, 0}, kInBaseSpring,
     JiggleRole::Friction, JiggleAxis::Up},
    {"forward_constraint", 18, 0, JiggleUnit::AsStored, 2,
     {JiggleParams::kForwardMin, JiggleParams::kForwardMax}, kInBaseSpring, JiggleRole::Limit,
     JiggleAxis::Forward},
    {"forward_friction", 16, 0, JiggleUnit::AsStored, 1, {JiggleParams::kForwardFriction, 0},
     kInBaseSpring, JiggleRole::Friction, JiggleAxis::Forward},
};
inline constexpr std::size_t kJiggleKeywordCount = sizeof kJiggleKeywords / sizeof kJiggleKeywords[0];
inline constexpr std::size_t kLongestKeyword = 18;

// A block of a bone's text: its keywords are kJiggleKeywords[first, end), in the order
// written, derived from the keywords' blocks below.
struct JiggleBlock {
  char keyword[16];
  std::uint8_t length;
  char kind[10];  // the kind of bone the block makes, as the page and the skeleton name it
  std::uint32_t flag;  // the bit that shows the block
  bool spacedOut;      // written after an empty line
  std::uint8_t first;
  std::uint8_t end;
};

inline constexpr auto kJiggleBlocks = [] {
  std::array<JiggleBlock, 3> blocks{{
      {"is_flexible", 11, "flexible", FlexibleTip, false, 0, 0},
      {"is_rigid", 8, "rigid", RigidTip, false, 0, 0},
      {"has_base_spring", 15, "base", BaseSpring, true, 0, 0},
  }};
  for (std::size_t b = 0; b < blocks.size(); ++b) {
    bool seen = false;
    for (std::size_t k = 0; k < kJiggleKeywordCount; ++k) {
      if ((kJiggleKeywords[k].blocks & (1u << b)) == 0) continue;
      if (!seen) blocks[b].first = static_cast<std::uint8_t>(k);
      seen = true;
      blocks[b].end = static_cast<std::uint8_t>(k + 1);
    }
  }
  return blocks;
}();
inline constexpr std::size_t kJiggleBlockCount = kJiggleBlocks.size();

// A line that stands alone: its presence clears its bit, its absence keeps it as stored.
constexpr bool isSwitch(const JiggleKeyword& keyword) { return keyword.valueCount == 0; }

// The bits the text decides; every other bit of flags is kept as stored.
inline constexpr std::uint32_t kLimitBits = [] {
  std::uint32_t bits = 0;
  for (const JiggleKeyword& k : kJiggleKeywords) bits |= isSwitch(k) ? 0 : k.flag;
  return bits;
}();
// The bits that switch lines clear.
inline constexpr std::uint32_t kSwitchBits = [] {
  std::uint32_t bits = 0;
  for (const JiggleKeyword& k : kJiggleKeywords) bits |= isSwitch(k) ? k.flag : 0;
  return bits;
}();
// The blocks that show limit lines.
inline constexpr std::uint32_t kTipBits = [] {
  std::uint32_t bits = 0;
  for (std::size_t b = 0; b < kJiggleBlockCount; ++b) {
    for (const JiggleKeyword& k : kJiggleKeywords) {
      if (!isSwitch(k) && k.flag != 0 && (k.blocks & (1u << b)) != 0) bits |= kJiggleBlocks[b].flag;
    }
  }
  return bits;
}();
inline constexpr std::uint32_t kBlockBits = [] {
  std::uint32_t bits = 0;
  for (const JiggleBlock& b : kJiggleBlocks) bits |= b.flag;
  return bits;
}();
inline constexpr std::uint32_t kTextBits = kBlockBits | kLimitBits;

// The line whose presence switches a limit on: the Limit line of its flag. Its friction
// and bounce lines only tune it. -1 for a flag no line carries.
constexpr int limitLineOf(std::uint32_t flag) {
  for (std::size_t k = 0; k < kJiggleKeywordCount; ++k) {
    if (kJiggleKeywords[k].flag == flag && kJiggleKeywords[k].role == JiggleRole::Limit) {
      return static_cast<int>(k);
    }
  }
  return -1;
}

constexpr bool tableIsSound() {
  for (const JiggleKeyword& k : kJiggleKeywords) {
    if (std::char_traits<char>::length(k.keyword) != k.length || k.length > kLongestKeyword) return false;
    if (k.blocks == 0 || (!isSwitch(k) && k.flag != 0 && limitLineOf(k.flag) < 0)) return false;
    if (isSwitch(k) && (k.flag == 0 || k.role == JiggleRole::Limit)) return false;
  }
  for (const JiggleBlock& b : kJiggleBlocks) {
    if (std::char_traits<char>::length(b.keyword) != b.length || b.first >= b.end) return false;
  }
  // Each block's keywords stand together, so that a block is written as one run of the table.
  for (std::size_t b = 0; b < kJiggleBlockCount; ++b) {
    for (std::size_t k = kJiggleBlocks[b].first; k < kJiggleBlocks[b].end; ++k) {
      if ((kJiggleKeywords[k].blocks & (1u << b)) == 0) return false;
    }
  }
  return kTipBits == (FlexibleTip | RigidTip) && kLimitBits == (YawLimited | PitchLimited | AngleLimited) &&
         (kSwitchBits & (kBlockBits | kLimitBits)) == 0;
}
static_assert(tableIsSound());

// Whether a keyword line shows for a bone with these flags, inside a block that shows. A
// switch never does: the dump's lines are fixed.
constexpr bool keywordShows(const JiggleKeyword& keyword, std::uint32_t flags) {
  return !isSwitch(keyword) && (keyword.flag == 0 || (flags & keyword.flag) != 0);
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

// Words of the wider $jigglebone language that these tools neither read nor write: the
// model layout holds no field for them. Named as such when met, rather than as typos.
struct ForeignJiggleWord {
  const char* word;
  bool block;  // opens a block of its own
};
inline constexpr ForeignJiggleWord kForeignJiggleWords[] = {
    {"is_boing", true},      {"yaw_bounce", false}, {"impact_speed", false}, {"impact_angle", false},
    {"damping_rate", false}, {"frequency", false},  {"amplitude", false},
};

// What drives a bone, as the skeleton's drawing tells the kinds apart: each kind's word,
// its label, and its colour, for the .glb and the page alike.
#pragma once

#include <cstddef>
#include <cstdint>

#include "definitions/jiggle_keywords.h"
#include "model/jiggle_bone.h"

// The kind word of the block a flag shows: a bone with a tip or base spring is named as
// its block's kind, in one place.
constexpr const char* kindOfBlock(std::uint32_t flag) {
  for (const JiggleBlock& block : kJiggleBlocks) {
    if (block.flag == flag) return block.kind;
  }
  return "";
}

enum class BoneKind : std::uint8_t { Plain, Flexible, Rigid, Base, Still };

struct BoneKindLook {
  BoneKind kind;
  const char* word;
  const char* label;
  std::uint8_t srgb[3];
  // The same colour in linear light, as glTF's colour factors are: worked out once by the
  // sRGB curve and written in, so that no platform's pow can make the bytes differ.
  float linear[3];
};

// By BoneKind's order.
inline constexpr BoneKindLook kBoneKinds[] = {
    {BoneKind::Plain, "plain", "bone", {0x8e, 0x8e, 0x93}, {0.270497799f, 0.270497799f, 0.291770637f}},
    {BoneKind::Flexible, kindOfBlock(FlexibleTip), "flexible tip", {0x0a, 0x64, 0xd6}, {0.00303526991f, 0.127437681f, 0.672443151f}},
    {BoneKind::Rigid, kindOfBlock(RigidTip), "rigid tip", {0x2e, 0x9d, 0x4f}, {0.0273208916f, 0.337163627f, 0.078187421f}},
    {BoneKind::Base, kindOfBlock(BaseSpring), "base spring", {0x8e, 0x44, 0xad}, {0.270497799f, 0.0578054301f, 0.417885065f}},
    {BoneKind::Still, "still", "jiggle bone that does not move", {0xf5, 0xa6, 0x23}, {0.913098633f, 0.38132602f, 0.0168073755f}},
};
inline constexpr std::size_t kBoneKindCount = sizeof kBoneKinds / sizeof kBoneKinds[0];

constexpr bool boneKindsInOrder() {
  for (std::size_t i = 0; i < kBoneKindCount; ++i) {
    if (static_cast<std::size_t>(kBoneKinds[i].kind) != i) return false;
  }
  return true;
}
static_assert(boneKindsInOrder());

// A flexible tip outranks a rigid one, which outranks a base spring; a jiggle bone with
// none of them does not move. Null: not a jiggle bone.
BoneKind boneKindOf(const JiggleBone* jiggle);

inline const BoneKindLook& boneKindLook(BoneKind kind) { return kBoneKinds[static_cast<std::size_t>(kind)]; }

// A model's skeleton as a binary glTF 2.0 file (.glb) that any viewer or importer opens:
// one node per bone, named as the bone, placed as the model places it; a skin whose joints
// are the bones; a small skinned mesh that draws each bone, coloured by its kind; and each
// jiggle bone's settings on its node. The same input gives the same bytes everywhere.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/memory_hook.h"
#include "model/skeleton_bones.h"
#include "skeleton/bone_details.h"

struct GlbBytes {
  unsigned char* bytes = nullptr;  // released with freeWith, through the hook that made it
  std::size_t size = 0;
};

// The mesh draws the first this many bones: a joint's number must fit 16 bits. All bones
// are nodes and joints whatever their number.
constexpr std::int32_t kMostBonesDrawn = 65536;

// For a skeleton read without fault and its bones' details. False with OutOfReach when a
// bone's place lies beyond the float range; false with no fault when memory cannot be had
// (or the file would pass the format's 4 GiB), nothing then left allocated.
bool writeSkeletonGlb(const SkeletonBone* bones, std::int32_t count, const BoneDetails* details,
                      const MemoryHook& memory, GlbBytes& glb, SkeletonFault& fault);

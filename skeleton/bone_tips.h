// Which way each bone's shape points, and how far: at its first child where it has one
// away from its own place; else along the axis the model's other bones of its sort point
// along, as far as its jiggle tip reaches or half its parent's length.
#pragma once

#include <cstdint>

#include "model/skeleton_bones.h"
#include "skeleton/bone_details.h"

struct BoneTip {
  std::int32_t firstChild;   // the lowest index whose parent it is; -1: none
  std::int32_t nextSibling;  // the next higher index with the same parent (for roots, the next root); -1: none
  double direction[3];       // unit length, in the bone's own frame
  double length;             // above zero and finite
};

// For a skeleton read without fault. Returns the first root, -1 for an empty skeleton.
std::int32_t findBoneTips(const SkeletonBone* bones, std::int32_t count, const BoneDetails* details,
                          BoneTip* tips);

// The bones' places as the model stores them: each bone's parent, its position and rotation
// relative to that parent, and the inverse of its world transform. Read for drawing the
// skeleton only: a skeleton that cannot be drawn is a fact about the model, never a reason
// to refuse its jiggle text.
#pragma once

#include <cstdint>

#include "model/model_image.h"

struct SkeletonBone {
  std::int32_t parent;        // -1 for a root, else a lower index
  float position[3];          // relative to the parent
  float rotation[4];          // x y z w as stored, relative to the parent
  float inverseWorld[12];     // 3x4 row-major
};

enum class SkeletonFaultKind : std::uint8_t {
  None,
  BoneOutside,        // bone: its record lies past the image (-1: the header does)
  ParentOutOfOrder,   // bone, parent: the parent is neither -1 nor a lower index
  NotFinite,          // bone: a position, rotation or matrix value is infinite or not a number
  ZeroRotation,       // bone: a rotation of length zero turns nothing into anything
  OutOfReach,         // bone: its place in the world is beyond the float range
};

struct SkeletonFault {
  SkeletonFaultKind kind = SkeletonFaultKind::None;
  std::int32_t bone = -1;
  std::int32_t parent = -1;  // for ParentOutOfOrder: the stored value
};

// The room readSkeleton needs: the stored bone count, but no more bones than the image
// holds records for (a hostile count asks for no more memory than the file's size), and 0
// for a count of zero or below or a header too short to hold it. Once readSkeleton has
// read the skeleton without fault, this is its number of bones.
std::int32_t skeletonBoneCount(const ModelImage& image);

// Reads every bone into `bones`, which has room for skeletonBoneCount(image) of them,
// checking each in table order; stops at the first fault, which `fault` then names.
// Safe on any bytes: nothing is assumed of the image.
bool readSkeleton(const ModelImage& image, SkeletonBone* bones, SkeletonFault& fault);

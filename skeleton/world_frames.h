// Where each bone is in the model: its rotation and origin in the world, chained from the
// root down, in the model's own axes (Z up). Double precision throughout, and only the
// operations IEEE 754 rounds exactly (+ - * / and the square root), so that every platform,
// the WebAssembly build's included, finds the same bits.
#pragma once

#include <cstdint>

#include "model/skeleton_bones.h"

struct WorldFrame {
  double rotation[9];  // row-major: column j is the bone's own axis j in the world
  double origin[3];
};

// The stored rotation brought to unit length, x y z w. It must not be of length zero.
void unitRotation(const float (&stored)[4], double (&unit)[4]);

// The rotation matrix of a unit quaternion (x y z w), row-major.
void rotationMatrix(const double (&q)[4], double (&matrix)[9]);

// Halfway between the largest float and 2^128: at and beyond it a double rounds to infinity.
inline constexpr double kFloat32Reach = 340282356779733661637539395458142568448.0;

// Whether a double rounds to a finite float32. Inline: every vertex asks it.
inline bool fitsFloat32(double value) { return value < kFloat32Reach && value > -kFloat32Reach; }

// Chains every bone of a skeleton read without fault, in table order (a parent comes before
// its children). False with OutOfReach at the first bone whose origin is beyond the float
// range, as hostile values can put it.
bool chainWorldFrames(const SkeletonBone* bones, std::int32_t count, WorldFrame* frames,
                      SkeletonFault& fault);

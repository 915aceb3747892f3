// The small solid drawn for each bone: a thin double pyramid from the bone's place to its
// tip, in glTF's axes (Y up), so that a plain viewer shows the skeleton.
#pragma once

#include <cstddef>
#include <cstdint>

#include "skeleton/bone_tips.h"
#include "skeleton/world_frames.h"

constexpr std::size_t kShapeVertices = 6;  // the place, four corners, the tip
constexpr std::size_t kShapeIndices = 24;  // eight triangles

// The triangles of one shape, by its vertices' numbers, facing out.
extern const std::uint32_t kShapeTriangles[kShapeIndices];

// The vertices of a bone's shape in the world, turned from the model's Z up to glTF's
// Y up; coordinates beyond the float range are held at its ends.
void boneShape(const WorldFrame& frame, const BoneTip& tip, float (&vertices)[kShapeVertices][3]);

// A model point (Z up) in glTF's axes (Y up): (x, y, z) becomes (x, z, -y).
inline void turnToYUp(const double (&point)[3], double (&turned)[3]) {
  turned[0] = point[0];
  turned[1] = point[2];
  turned[2] = -point[1];
}

#include "skeleton/world_frames.h"

#include <cmath>

void unitRotation(const float (&stored)[4], double (&unit)[4]) {
  double squares = 0;
  for (const float c : stored) squares += static_cast<double>(c) * static_cast<double>(c);
  const double length = std::sqrt(squares);
  for (int i = 0; i < 4; ++i) unit[i] = static_cast<double>(stored[i]) / length;
}

void rotationMatrix(const double (&q)[4], double (&m)[9]) {
  const double x = q[0], y = q[1], z = q[2], w = q[3];
  m[0] = 1 - 2 * (y * y + z * z);
  m[1] = 2 * (x * y - z * w);
  m[2] = 2 * (x * z + y * w);
  m[3] = 2 * (x * y + z * w);
  m[4] = 1 - 2 * (x * x + z * z);
  m[5] = 2 * (y * z - x * w);
  m[6] = 2 * (x * z - y * w);
  m[7] = 2 * (y * z + x * w);
  m[8] = 1 - 2 * (x * x + y * y);
}

bool chainWorldFrames(const SkeletonBone* bones, std::int32_t count, WorldFrame* frames,
                      SkeletonFault& fault) {
  fault = SkeletonFault{};
  for (std::int32_t i = 0; i < count; ++i) {
    const SkeletonBone& bone = bones[i];
    double q[4];
    unitRotation(bone.rotation, q);
    double local[9];
    rotationMatrix(q, local);
    WorldFrame& frame = frames[i];
    if (bone.parent < 0) {
      for (int k = 0; k < 9; ++k) frame.rotation[k] = local[k];
      for (int k = 0; k < 3; ++k) frame.origin[k] = bone.position[k];
    } else {
      const WorldFrame& up = frames[bone.parent];
      for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
          frame.rotation[3 * r + c] = up.rotation[3 * r] * local[c] + up.rotation[3 * r + 1] * local[3 + c] +
                                      up.rotation[3 * r + 2] * local[6 + c];
        }
        frame.origin[r] = up.origin[r] + up.rotation[3 * r] * bone.position[0] +
                          up.rotation[3 * r + 1] * bone.position[1] + up.rotation[3 * r + 2] * bone.position[2];
      }
    }
    if (!fitsFloat32(frame.origin[0]) || !fitsFloat32(frame.origin[1]) || !fitsFloat32(frame.origin[2])) {
      fault.kind = SkeletonFaultKind::OutOfReach;
      fault.bone = i;
      return false;
    }
  }
  return true;
}

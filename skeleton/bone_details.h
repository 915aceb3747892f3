// What the skeleton's drawing needs of each bone beyond its place: its name and, for a
// jiggle bone, its decoded record.
#pragma once

#include <cstddef>
#include <cstdint>

#include "model/jiggle_bone.h"
#include "model/model_image.h"

struct BoneDetails {
  const char* name = nullptr;  // the stored bytes, no NUL among them; null: outside the image
  std::size_t nameLength = 0;
  const JiggleBone* jiggle = nullptr;  // null: not a jiggle bone
};

// For an image whose skeleton readSkeleton read without fault, whether or not it passed the
// model checks: each bone's name where it lies inside the image, and each jiggle bone's
// record, decoded into `decoded[i]`, where it does. Both arrays have room for `count`.
void gatherBoneDetails(const ModelImage& image, std::int32_t count, JiggleBone* decoded, BoneDetails* details);

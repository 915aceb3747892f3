// The range checks that make an image safe to normalise, scan and write: every offset,
// count and name the later steps follow is compared with the image size first.
#pragma once

#include <cstddef>

#include "model/model_image.h"

// Bone names longer than this are refused: real names are a few dozen characters, and an
// unbounded name lets a small hostile file fan out into gigabytes of output.
constexpr std::size_t kMaxBoneNameLength = 4096;

struct ModelDamage {
  char what[128] = {};  // what lies outside the file; empty when nothing does
};

// Checks, in this order: the used header (the one place a short header is reported),
// retiredWord when normalisation will clear it (versions below 47), the model name's NUL
// inside its field, the bone table, the descriptor table when normalisation will rewrite
// it (versions below 48), and every jiggle bone's name and parameter record.
// Returns true and describes the first fault found when the image is damaged.
bool findModelDamage(const ModelImage& image, ModelDamage& damage);

// The name of any bone of an image that has passed findModelDamage, or nullptr where it
// lies outside the image, runs past its end or is too long: only jiggle bones' names are
// checked above, and a bone that is not one may still be looked up by name.
const char* checkedBoneName(const ModelImage& image, std::int32_t index, std::size_t& length);

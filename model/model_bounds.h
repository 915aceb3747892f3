// The range checks that make an image safe to normalise, scan and write: every offset,
// count and name the later steps follow is compared with the image size first.
#pragma once

#include <cstddef>

#include "model/model_image.h"

// Bone names longer than this are refused: real names are a few dozen characters, and an
// unbounded name lets a small hostile file fan out into gigabytes of output.
constexpr std::size_t kMaxBoneNameLength = 4096;

// What is wrong with a damaged image, and where: facts, whose words are the console's.
enum class ModelDamageKind : std::uint8_t {
  None,
  HeaderOutside,            // the header the tools read is longer than the file
  RetiredWordOutside,       // the header word normalisation clears lies past the end
  ModelNameUnended,         // the model's name has no NUL inside its field
  BoneTableOutside,
  DescriptorTableOutside,   // the animation descriptors normalisation rewrites
  JiggleRecordOutside,      // bone: its jiggle parameters
  BoneNameOutside,          // bone
  BoneNameRunsPastEnd,      // bone
  BoneNameTooLong,          // bone: longer than kMaxBoneNameLength
  UnusableOutputName,       // the stored name gives no file name the tools can write
};

struct ModelDamage {
  ModelDamageKind kind = ModelDamageKind::None;
  std::int32_t bone = -1;  // the bone it is about, for the kinds that name one
};

// Checks, in this order: the used header (the one place a short header is reported),
// retiredWord when normalisation will clear it (versions below 47), the model name's NUL
// inside its field, the bone table, the descriptor table when normalisation will rewrite
// it (versions below 48), and every jiggle bone's name and parameter record.
// Returns true and says what the first fault found is when the image is damaged.
bool findModelDamage(const ModelImage& image, ModelDamage& damage);

// The name of any bone of an image that has passed findModelDamage, or nullptr where it
// lies outside the image, runs past its end or is too long: only jiggle bones' names are
// checked above, and a bone that is not one may still be looked up by name.
const char* checkedBoneName(const ModelImage& image, std::int32_t index, std::size_t& length);

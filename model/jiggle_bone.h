// A jiggle bone decoded once from the image into a plain struct: its name and its parameter
// record as stored. The text, the page's cards and the apply step all read this, never the
// record's bytes themselves.
#pragma once

#include <cstddef>
#include <cstdint>

#include "model/byte_order.h"
#include "model/model_image.h"

// The record as 32-bit words: word 0 is flags, the others the float32 fields' bits (and the
// one unread word), each at its byte offset / 4. Bits, not floats, so that a value kept is
// kept to the bit, not-a-numbers included.
constexpr std::size_t kJiggleWords = JiggleParams::kSize / 4;

struct JiggleBone {
  const char* name = nullptr;  // inside the image, ended by a NUL
  std::size_t nameLength = 0;
  std::size_t record = 0;  // image offset of the parameter record
  std::uint32_t words[kJiggleWords] = {};
};

// `bone` must be a jiggle bone of an image that has passed findModelDamage.
void decodeJiggleBone(const ModelImage& image, const unsigned char* bone, JiggleBone& out);

// The words of a record at `record`, which must lie inside its image.
void decodeJiggleRecord(const unsigned char* record, std::uint32_t (&words)[kJiggleWords]);

inline std::uint32_t jiggleFlags(const JiggleBone& bone) {
  return bone.words[JiggleParams::kFlags / 4];
}

// The float32 field at byte offset `field` of the record.
inline float jiggleValue(const JiggleBone& bone, std::size_t field) {
  return floatFromBits(bone.words[field / 4]);
}

// Visits every jiggle bone of an image that has passed findModelDamage, in table order:
// `visit(index, bone)` with the bone's record; a visit that returns false ends the walk.
// Returns false when one did.
template <typename Visit>
bool forEachJiggleBone(const ModelImage& image, Visit visit) {
  const std::int32_t bones = boneCount(image);
  for (std::int32_t i = 0; i < bones; ++i) {
    const unsigned char* bone = boneRecord(image, i);
    if (isJiggleBone(bone) && !visit(i, bone)) return false;
  }
  return true;
}

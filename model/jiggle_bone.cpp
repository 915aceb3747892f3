#include "model/jiggle_bone.h"

#include <cstring>

void decodeJiggleRecord(const unsigned char* record, std::uint32_t (&words)[kJiggleWords]) {
  for (std::size_t i = 0; i < kJiggleWords; ++i) words[i] = readUint32LE(record + 4 * i);
}

void decodeJiggleBone(const ModelImage& image, const unsigned char* bone, JiggleBone& out) {
  out.name = boneName(bone);
  out.nameLength = std::strlen(out.name);
  const unsigned char* record = jiggleParams(bone);
  out.record = static_cast<std::size_t>(record - image.bytes);
  decodeJiggleRecord(record, out.words);
}

#include "model/version_normalisation.h"

#include <cstring>

#include "model/byte_order.h"

namespace {

void resetDescriptor(unsigned char* descriptor) {
  std::memset(descriptor + AnimDescriptor::kResetStart, 0,
              AnimDescriptor::kSize - AnimDescriptor::kResetStart);
  writeInt32LE(descriptor + AnimDescriptor::kFrameCount, 1);
  writeInt32LE(descriptor + AnimDescriptor::kBlockIndex, -1);
}

// Clears the span pair only; the two bytes between spanLength and spanOffset stay.
void clearSpan(unsigned char* descriptor) {
  writeInt32LE(descriptor + AnimDescriptor::kSpanOffset, 0);
  writeInt16LE(descriptor + AnimDescriptor::kSpanLength, 0);
}

}  // namespace

void normaliseToCurrentVersion(ModelImage& image) {
  const std::int32_t version = modelVersion(image);
  if (version == kCurrentVersion) return;
  const std::int32_t descriptors = animCount(image);  // zero or negative: none

  if (version < 46) {
    for (std::int32_t i = 0; i < descriptors; ++i) {
      unsigned char* descriptor = animDescriptor(image, i);
      if (readInt32LE(descriptor + AnimDescriptor::kSectionWord) != 0) resetDescriptor(descriptor);
    }
  }
  if (version < 47) {
    setRetiredWord(image, 0);
    for (std::int32_t i = 0; i < descriptors; ++i) clearSpan(animDescriptor(image, i));
  } else if (version == 47) {
    for (std::int32_t i = 0; i < descriptors; ++i) {
      unsigned char* descriptor = animDescriptor(image, i);
      if (readInt32LE(descriptor + AnimDescriptor::kSpanOffset) != 0) clearSpan(descriptor);
    }
  }
  setModelVersion(image, kCurrentVersion);
}

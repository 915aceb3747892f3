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

// The table's place is taken once: a table laid over the header may rewrite the very
// words that locate it.
void normaliseDescriptors(unsigned char* table, std::int32_t count, std::int32_t version) {
  const auto at = [table](std::int32_t i) {
    return table + static_cast<std::size_t>(i) * AnimDescriptor::kSize;
  };
  if (version < kFirstUnsectionedVersion) {
    for (std::int32_t i = 0; i < count; ++i) {
      if (readInt32LE(at(i) + AnimDescriptor::kSectionWord) != 0) resetDescriptor(at(i));
    }
  }
  if (version < kFirstVersionKeepingRetiredWord) {
    for (std::int32_t i = 0; i < count; ++i) clearSpan(at(i));
  } else if (version == kFirstVersionKeepingRetiredWord) {
    for (std::int32_t i = 0; i < count; ++i) {
      if (readInt32LE(at(i) + AnimDescriptor::kSpanOffset) != 0) clearSpan(at(i));
    }
  }
}

}  // namespace

void normaliseToCurrentVersion(ModelImage& image) {
  const std::int32_t version = modelVersion(image);
  if (version == kCurrentVersion) return;
  const std::int32_t descriptors = animCount(image);  // zero or negative: none
  // Newer versions leave the descriptors alone: their table is not even located, since
  // nothing has checked that it lies inside the image.
  if (version < kCurrentVersion && descriptors > 0) {
    normaliseDescriptors(animTable(image), descriptors, version);
  }
  if (version < kFirstVersionKeepingRetiredWord) setRetiredWord(image, 0);
  setModelVersion(image, kCurrentVersion);
}

#include "model/jiggle_record_write.h"

#include "model/byte_order.h"

bool writeJiggleRecord(ModelImage& image, std::size_t record,
                       const std::uint32_t (&before)[kJiggleWords],
                       const std::uint32_t (&after)[kJiggleWords]) {
  if (image.bytes == nullptr || record > image.size || image.size - record < JiggleParams::kSize) {
    return false;
  }
  for (std::size_t i = 0; i < kJiggleWords; ++i) {
    if (after[i] != before[i]) writeUint32LE(image.bytes + record + 4 * i, after[i]);
  }
  return true;
}

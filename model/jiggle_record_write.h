// Writing a jiggle bone's parameter record back into an image: the one place that changes a
// model's jiggle settings.
#pragma once

#include <cstddef>
#include <cstdint>

#include "model/jiggle_bone.h"
#include "model/model_image.h"

// Writes, at image offset `record`, each word of `after` that differs from `before` (the
// record as it was read), and nothing else: the other bytes stay as they are, to the bit.
// Returns false, writing nothing, when the record does not lie wholly inside the image.
bool writeJiggleRecord(ModelImage& image, std::size_t record,
                       const std::uint32_t (&before)[kJiggleWords],
                       const std::uint32_t (&after)[kJiggleWords]);

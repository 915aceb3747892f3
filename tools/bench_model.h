// The models the benchmarks run on: many jiggle bones with every flag set, or a folder's
// worth of models of everyday sizes.
#pragma once

#include <cstddef>

#include "tests/support/model_builder.h"

// One jiggle parameter record with every flag set; `seed` varies its values over the
// forms numbers take in the text (whole, fractional, tiny, huge, negative, angles).
JigglePlan benchJigglePlan(std::size_t seed);

// `bones` jiggle bones, with a plain bone between every eight of them.
ModelPlan benchModelPlan(std::size_t bones);

// A character of 180 bones for the page's skeleton view: 80 plain ones (spine, head, face,
// arms with fingers, legs; Z up, facing -y, head near z = 55, feet near z = 4) and ten hair
// chains of ten jiggle bones each hanging from the head, each chain's frame turned its own way.
ModelPlan skeletonModelPlan();

// One of a batch of everyday models: 1 to 150 jiggle bones among plain ones, names, flags
// and values varied by `index`, the stored name numbered by it. `fileSize` is the size the
// file should be padded to, standing in for the meshes and animations of a real model.
struct BatchModel {
  ModelPlan plan;
  std::size_t fileSize = 0;
};
BatchModel batchModel(std::size_t index);

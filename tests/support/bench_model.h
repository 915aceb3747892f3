// The models the benchmarks run on: many jiggle bones with every flag set.
#pragma once

#include <cstddef>

#include "tests/support/model_builder.h"

// One jiggle parameter record with every flag set; `seed` varies its values over the
// forms numbers take in the text (whole, fractional, tiny, huge, negative, angles).
JiggleSpec benchJiggleSpec(std::size_t seed);

// `bones` jiggle bones, with a plain bone between every eight of them.
ModelSpec benchModelSpec(std::size_t bones);

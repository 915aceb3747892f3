// What must hold when any edits text is applied to any model bytes, in memory: the whole
// path of sproing_apply without its files. Shared by the apply fuzz target and the replay
// of its inputs.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// An input holds the model's size (4 bytes, little-endian), the model, then the edits
// (as the seeds of tools/seed_models.h). Applies the input's edits to its model, and to what comes of it. Returns what went
// wrong, or an empty string when every property holds.
std::string findApplyViolation(const unsigned char* data, std::size_t size);

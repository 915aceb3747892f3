// What must hold of the skeleton for any bytes whatever: read safely, and where it reads
// without fault, written as a well-formed .glb; and a sound skeleton built from the same
// bytes' choices always reads and writes. Shared by the fuzz target and the replay.
#pragma once

#include <cstddef>
#include <string>

// Returns what went wrong, or an empty string when every property holds.
std::string findSkeletonViolation(const unsigned char* data, std::size_t size);

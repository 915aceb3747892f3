// What must hold for any bytes whatever, run through the tool's whole path from the checks
// to the text, in memory; and, with the same bytes read as the choices of a plan for the
// model builder, that the model built from the plan gives the text of the values it holds;
// and the skeleton's properties (skeleton_properties.h). Shared by the fuzz target and the replay of its inputs.
#pragma once

#include <cstddef>
#include <string>

// Copies the bytes into a buffer of exactly their size, assesses and, when accepted,
// renders them; then builds the plan they choose and compares its text with the plan's.
// Returns what went wrong, or an empty string when every property holds.
std::string findPropertyViolation(const unsigned char* data, std::size_t size);

// What must hold for any bytes whatever, run through the tool's whole path from the checks
// to the text, in memory. Shared by the fuzz target and the replay of its inputs.
#pragma once

#include <cstddef>
#include <string>

// Copies the bytes into a buffer of exactly their size, assesses and, when accepted,
// renders them. Returns what went wrong, or an empty string when every property holds.
std::string findPropertyViolation(const unsigned char* data, std::size_t size);

// What the tools must make of a model's bytes, worked out from the layout alone and never
// from the tools' own code: the status of its checks, and how long a file must be for the
// tools to read all they read. Tests and fuzz targets hold the tools to it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The status the checks give these bytes: 3 (no "IDST"), 4 (a version below 45), 7
// (damaged: anything the tools read lies outside the file, before or after the version
// rules rewrite the descriptors, or the stored name gives no usable file name), 5 (no
// jiggle bone) or 0.
int statusByLayout(const std::vector<unsigned char>& bytes);

// The shortest prefix of a sound model that still holds everything the tools read: the
// header (and, below version 47, its retired word), the bone table, below version 48 the
// descriptor table, and every jiggle bone's name with its NUL and its parameter record.
std::size_t lengthReadByLayout(const std::vector<unsigned char>& bytes);

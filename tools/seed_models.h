// The fuzzer's seed corpus: small models made by the builder that reach every path of the
// checks, the normalisation and the writer, sound and damaged.
#pragma once

#include <string>
#include <vector>

struct SeedModel {
  std::string name;  // file name in the corpus
  std::vector<unsigned char> bytes;
};

std::vector<SeedModel> seedModels();

// The apply fuzzer's seeds: each sound seed model with its own text, which must give it
// back byte for byte, and the sample with edits of every kind, good and bad. Each input
// holds the model's size (4 bytes, little-endian), the model, then the edits.
std::vector<SeedModel> applySeeds();

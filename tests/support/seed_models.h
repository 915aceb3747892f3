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

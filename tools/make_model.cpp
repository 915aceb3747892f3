// Writes models made by the test-side builder: the sample shipped in examples/, the
// fuzzers' seed corpora (corpus, apply-corpus), a benchmark model of N jiggle bones, a
// character of 180 bones for the skeleton view, or a folder of everyday models for the
// batch benchmark.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/bench_model.h"
#include "tests/support/model_builder.h"
#include "tools/seed_models.h"

namespace {

bool writeBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

// A whole number from 1 to `largest`, or 0 (after saying why) for anything else.
long countArgument(const char* text, long largest, const char* what) {
  char* end = nullptr;
  const long count = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || count < 1 || count > largest) {
    std::fprintf(stderr, "make_model: %s must be a whole number from 1 to %ld\n", what, largest);
    return 0;
  }
  return count;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "sample") == 0) {
    return writeBytes(argv[2], buildModel(sampleModelPlan()).bytes) ? 0 : 1;
  }
  if (argc == 3 && (std::strcmp(argv[1], "corpus") == 0 || std::strcmp(argv[1], "apply-corpus") == 0)) {
    const bool apply = std::strcmp(argv[1], "apply-corpus") == 0;
    for (const SeedModel& seed : apply ? applySeeds() : seedModels()) {
      if (!writeBytes(std::string(argv[2]) + "/" + seed.name, seed.bytes)) {
        std::fprintf(stderr, "cannot write %s/%s\n", argv[2], seed.name.c_str());
        return 1;
      }
    }
    return 0;
  }
  if (argc == 4 && std::strcmp(argv[1], "bench") == 0) {
    const long bones = countArgument(argv[2], 1000000, "BONES");
    if (bones == 0) return 2;
    return writeBytes(argv[3], buildModel(benchModelPlan(static_cast<std::size_t>(bones))).bytes)
               ? 0
               : 1;
  }
  if (argc == 3 && std::strcmp(argv[1], "skeleton") == 0) {
    return writeBytes(argv[2], buildModel(skeletonModelPlan()).bytes) ? 0 : 1;
  }
  if (argc == 4 && std::strcmp(argv[1], "batch") == 0) {
    const long count = countArgument(argv[2], 100000, "COUNT");
    if (count == 0) return 2;
    for (long i = 0; i < count; ++i) {
      const BatchModel model = batchModel(static_cast<std::size_t>(i));
      std::vector<unsigned char> bytes = buildModel(model.plan).bytes;
      if (bytes.size() < model.fileSize) bytes.resize(model.fileSize, 0);
      char path[32];
      std::snprintf(path, sizeof path, "/b%04ld.mdl", i);
      if (!writeBytes(argv[3] + std::string(path), bytes)) {
        std::fprintf(stderr, "cannot write %s%s\n", argv[3], path);
        return 1;
      }
    }
    return 0;
  }
  std::fputs("usage: make_model sample OUTPUT.mdl\n"
             "       make_model corpus FOLDER\n"
             "       make_model bench BONES OUTPUT.mdl\n"
             "       make_model skeleton OUTPUT.mdl\n"
             "       make_model batch COUNT FOLDER\n",
             stderr);
  return 2;
}

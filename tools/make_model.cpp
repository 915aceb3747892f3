// Writes models made by the test-side builder: the sample shipped in examples/, or the
// fuzzer's seed corpus.
#include <cstdio>
#include <cstring>
#include <string>

#include "tests/support/model_builder.h"
#include "tests/support/seed_models.h"

namespace {

bool writeBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "sample") == 0) {
    return writeBytes(argv[2], buildModel(sampleModelSpec()).bytes) ? 0 : 1;
  }
  if (argc == 3 && std::strcmp(argv[1], "corpus") == 0) {
    for (const SeedModel& seed : seedModels()) {
      if (!writeBytes(std::string(argv[2]) + "/" + seed.name, seed.bytes)) {
        std::fprintf(stderr, "cannot write %s/%s\n", argv[2], seed.name.c_str());
        return 1;
      }
    }
    return 0;
  }
  std::fputs("usage: make_model sample OUTPUT.mdl\n       make_model corpus FOLDER\n", stderr);
  return 2;
}

// Writes a model made by the test-side builder: the sample shipped in examples/, or a
// benchmark model of N jiggle bones.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tests/support/model_builder.h"
#include "tests/support/bench_model.h"

int main(int argc, char** argv) {
  const bool sample = argc == 3 && std::strcmp(argv[1], "sample") == 0;
  const bool bench = argc == 4 && std::strcmp(argv[1], "bench") == 0;
  if (!sample && !bench) {
    std::fputs("usage: make_model sample OUTPUT.mdl\n"
               "       make_model bench BONES OUTPUT.mdl\n",
               stderr);
    return 2;
  }
  const char* outputPath = argv[argc - 1];
  ModelSpec spec;
  if (sample) {
    spec = sampleModelSpec();
  } else {
    char* end = nullptr;
    const long bones = std::strtol(argv[2], &end, 10);
    if (end == argv[2] || *end != '\0' || bones < 1 || bones > 1000000) {
      std::fputs("make_model: BONES must be a whole number from 1 to 1000000\n", stderr);
      return 2;
    }
    spec = benchModelSpec(static_cast<std::size_t>(bones));
  }
  const BuiltModel model = buildModel(spec);
  std::FILE* file = std::fopen(outputPath, "wb");
  if (file == nullptr) return 1;
  const bool written = std::fwrite(model.bytes.data(), 1, model.bytes.size(), file) ==
                       model.bytes.size();
  return std::fclose(file) == 0 && written ? 0 : 1;
}

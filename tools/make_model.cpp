// Writes a model made by the test-side builder: the sample shipped in examples/.
#include <cstdio>
#include <cstring>

#include "tests/support/model_builder.h"

int main(int argc, char** argv) {
  if (argc != 3 || std::strcmp(argv[1], "sample") != 0) {
    std::fputs("usage: make_model sample OUTPUT.mdl\n", stderr);
    return 2;
  }
  const BuiltModel model = buildModel(sampleModelSpec());
  std::FILE* file = std::fopen(argv[2], "wb");
  if (file == nullptr) return 1;
  const bool written = std::fwrite(model.bytes.data(), 1, model.bytes.size(), file) ==
                       model.bytes.size();
  return std::fclose(file) == 0 && written ? 0 : 1;
}

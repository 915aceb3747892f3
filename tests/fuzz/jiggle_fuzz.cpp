// libFuzzer entry: any bytes, through the checks, the normalisation and the rendering, with
// the properties of model_properties.h checked on every input.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "tests/fuzz/model_properties.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string violation = findPropertyViolation(data, size);
  if (!violation.empty()) {
    std::fprintf(stderr, "property violated: %s\n", violation.c_str());
    std::abort();
  }
  return 0;
}

// libFuzzer entry for sproing_apply's path: any model bytes and any edits text, with the
// properties of apply_properties.h checked on every input.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "tests/fuzz/apply_properties.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string violation = findApplyViolation(data, size);
  if (!violation.empty()) {
    std::fprintf(stderr, "property violated: %s\n", violation.c_str());
    std::abort();
  }
  return 0;
}

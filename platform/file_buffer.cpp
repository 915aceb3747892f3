#include "platform/file_buffer.h"

#include <cstdlib>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

}  // namespace

unsigned char* allocateFileBuffer(std::size_t size) {
#ifdef __linux__
  // Aligned to a huge page, so that every whole huge page of it can be one; the part of the
  // last that the buffer does not fill stays in small pages, costing no memory.
  if (size >= kHugePage && size <= static_cast<std::size_t>(-1) - kHugePage) {
    void* bytes = std::aligned_alloc(kHugePage, (size + kHugePage - 1) / kHugePage * kHugePage);
    if (bytes != nullptr) {
      madvise(bytes, size / kHugePage * kHugePage, MADV_HUGEPAGE);  // a hint: failing is no fault
      return static_cast<unsigned char*>(bytes);
    }
  }
#endif
  return static_cast<unsigned char*>(std::malloc(size == 0 ? 1 : size));
}

void releaseFileBuffer(unsigned char* bytes) { std::free(bytes); }

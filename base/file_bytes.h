// A file held whole in memory: a model, an edits text or any other input a run reads.
#pragma once

#include <cstddef>

struct FileBytes {
  unsigned char* bytes = nullptr;
  std::size_t size = 0;
};

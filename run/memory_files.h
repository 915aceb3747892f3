// Files a run reads and writes in memory, for the front ends that hold them there: the
// page, whose buffers the browser filled, and the tests. Inputs are found by their paths;
// outputs are kept in the run's memory, in the order they were opened.
#pragma once

#include <cstddef>

#include "base/byte_sink.h"
#include "base/file_bytes.h"
#include "run/run_files.h"

inline constexpr std::size_t kMemoryInputCount = 2;   // a model, and the edits for it
inline constexpr std::size_t kMemoryOutputCount = 2;  // a text, and a skeleton beside it

struct MemoryInput {
  const char* path = nullptr;
  // Either owned bytes, from the run's memory, which the run takes as they are when it
  // loads the file; or borrowed ones, copied into the run's memory as a read from disk
  // would be. Neither (null bytes of a non-zero size): a file that could not be read.
  unsigned char* owned = nullptr;
  const unsigned char* borrowed = nullptr;
  std::size_t size = 0;
};

struct MemoryFiles {
  MemoryInput inputs[kMemoryInputCount];
  bool keepOutputs = true;  // false: outputs are written to nothing
  char* outputPaths[kMemoryOutputCount] = {};  // copies, from the run's memory
  KeptBytes outputs[kMemoryOutputCount];
  std::size_t outputCount = 0;
};

// The files, their memory (the outputs' included) through `memory`. `files` must outlive
// the run and what it returns.
RunFiles memoryFiles(MemoryFiles& files, const MemoryHook& memory);

// The bytes kept of the output written at `path`, or null.
const KeptBytes* keptOutput(const MemoryFiles& files, const char* path);

// Gives back the owned inputs the run did not take, and the outputs.
void releaseMemoryFiles(MemoryFiles& files, const MemoryHook& memory);

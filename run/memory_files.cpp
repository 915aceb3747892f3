#include "run/memory_files.h"

#include <cstring>

namespace {

FileLoad load(void* context, const char* path, std::size_t extra, const MemoryHook& memory, FileBytes& file) {
  for (MemoryInput& input : static_cast<MemoryFiles*>(context)->inputs) {
    if (input.path == nullptr || std::strcmp(input.path, path) != 0) continue;
    if (input.owned == nullptr && input.borrowed == nullptr && input.size != 0) return FileLoad::CannotRead;
    if (input.size > static_cast<std::size_t>(-1) - extra) return FileLoad::OutOfMemory;
    unsigned char* bytes = input.owned;
    if (input.owned != nullptr && extra > 0) {
      bytes = static_cast<unsigned char*>(reallocateWith(memory, input.owned, input.size + extra));
      if (bytes == nullptr) return FileLoad::OutOfMemory;
    } else if (input.owned == nullptr && input.size + extra > 0) {
      bytes = static_cast<unsigned char*>(allocateWith(memory, input.size + extra));
      if (bytes == nullptr) return FileLoad::OutOfMemory;
      if (input.size > 0) std::memcpy(bytes, input.borrowed, input.size);
    }
    if (extra > 0) std::memset(bytes + input.size, 0, extra);
    file = FileBytes{bytes, input.size};
    input.owned = nullptr;  // the run's now
    return FileLoad::Loaded;
  }
  return FileLoad::CannotRead;
}

void release(void*, const MemoryHook& memory, FileBytes& file) {
  freeWith(memory, file.bytes);
  file = FileBytes{};
}

bool openOutput(void* context, const char* path, bool, ByteSink& sink) {
  auto& files = *static_cast<MemoryFiles*>(context);
  if (!files.keepOutputs) {
    sinkToNothing(sink);
    return true;
  }
  // An output opened again (a path written twice) starts afresh.
  std::size_t at = 0;
  while (at < files.outputCount && std::strcmp(files.outputPaths[at], path) != 0) ++at;
  if (at == kMemoryOutputCount) return false;
  if (at == files.outputCount) {
    const std::size_t length = std::strlen(path) + 1;
    files.outputPaths[at] = static_cast<char*>(allocateWith(files.outputs[at].memory, length));
    if (files.outputPaths[at] == nullptr) {
      // Opened, to close as memory that could not be had, not as an output refused.
      sinkToNothing(sink).fault = SinkFault::OutOfMemory;
      return true;
    }
    std::memcpy(files.outputPaths[at], path, length);
    ++files.outputCount;
  }
  files.outputs[at].size = 0;
  sinkToKept(sink, files.outputs[at]);
  return true;
}

OutputEnd closeOutput(void*, const char*, ByteSink& sink, bool complete) {
  sinkFlush(sink);
  if (sink.fault == SinkFault::OutOfMemory) return OutputEnd::OutOfMemory;
  return sink.fault == SinkFault::None && complete ? OutputEnd::InPlace : OutputEnd::CannotWrite;
}

}  // namespace

RunFiles memoryFiles(MemoryFiles& files, const MemoryHook& memory) {
  for (KeptBytes& output : files.outputs) output.memory = memory;
  // No output is a file that a path can name: none is the same file as an input.
  return RunFiles{.context = &files, .load = load, .release = release, .sameFile = nullptr,
                  .openOutput = openOutput, .closeOutput = closeOutput, .memory = memory};
}

const KeptBytes* keptOutput(const MemoryFiles& files, const char* path) {
  for (std::size_t i = 0; i < files.outputCount; ++i) {
    if (std::strcmp(files.outputPaths[i], path) == 0) return &files.outputs[i];
  }
  return nullptr;
}

void releaseMemoryFiles(MemoryFiles& files, const MemoryHook& memory) {
  for (MemoryInput& input : files.inputs) {
    freeWith(memory, input.owned);
    input.owned = nullptr;
  }
  for (std::size_t i = 0; i < kMemoryOutputCount; ++i) {
    freeWith(files.outputs[i].memory, files.outputPaths[i]);
    files.outputPaths[i] = nullptr;
    releaseBytes(files.outputs[i]);
  }
  files.outputCount = 0;
}

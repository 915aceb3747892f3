// How a run reaches its files and its memory, so that the same run serves every front end:
// the command line reads and writes them on disk, the page and the tests hold them in
// memory (memory_files.h), and the tests limit the memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>

#include "base/byte_sink.h"
#include "base/file_bytes.h"
#include "base/memory_hook.h"
#include "run/run_outcome.h"

enum class FileLoad : std::uint8_t { Loaded, CannotRead, OutOfMemory };

// How an output ended: in place, or not, and why.
enum class OutputEnd : std::uint8_t { InPlace, CannotWrite, OutOfMemory };

struct RunFiles {
  void* context = nullptr;
  // The whole file at `path`, with `extra` zero bytes after it that its size does not count,
  // in memory from `memory`. Otherwise the file is left empty.
  FileLoad (*load)(void* context, const char* path, std::size_t extra, const MemoryHook& memory,
                   FileBytes& file) = nullptr;
  // Gives back what `load` gave.
  void (*release)(void* context, const MemoryHook& memory, FileBytes& file) = nullptr;
  // Whether two paths name one existing file, by any path, link or spelling. Null where
  // the output is no file a path can name (the page's).
  bool (*sameFile)(void* context, const char* first, const char* second) = nullptr;
  // An output being made, one at a time: `openOutput` points `sink` at where its bytes go
  // (a stream, or memory), as text or as bytes; false when it cannot be written.
  // `closeOutput` hands the rest on and puts the output in place at `path` when `complete`,
  // else leaves no trace of it.
  bool (*openOutput)(void* context, const char* path, bool text, ByteSink& sink) = nullptr;
  OutputEnd (*closeOutput)(void* context, const char* path, ByteSink& sink, bool complete) = nullptr;
  // Every allocation the run makes.
  MemoryHook memory;
};

// Through the files, each a refusal where the front end gives no such way.
inline FileLoad loadRunFile(const RunFiles& files, const char* path, std::size_t extra, FileBytes& file) {
  file = FileBytes{};
  return files.load == nullptr ? FileLoad::CannotRead : files.load(files.context, path, extra, files.memory, file);
}

inline void releaseRunFile(const RunFiles& files, FileBytes& file) {
  if (file.bytes != nullptr && files.release != nullptr) files.release(files.context, files.memory, file);
  file = FileBytes{};
}

inline bool sameRunFile(const RunFiles& files, const char* first, const char* second) {
  return files.sameFile != nullptr && files.sameFile(files.context, first, second);
}

// Writes one output whole through `render(sink)`, in a sink from the run's memory (it is
// large): the output is in place with all of it, or not at all.
template <typename Render>
OutputEnd writeRunOutput(const RunFiles& files, const char* path, bool text, Render render) {
  auto* sink = static_cast<ByteSink*>(allocateWith(files.memory, sizeof(ByteSink)));
  if (sink == nullptr) return OutputEnd::OutOfMemory;
  sink = new (sink) ByteSink;
  OutputEnd end = OutputEnd::CannotWrite;
  if (files.openOutput != nullptr && files.openOutput(files.context, path, text, *sink)) {
    const bool complete = render(*sink);
    end = files.closeOutput(files.context, path, *sink, complete);
  }
  freeWith(files.memory, sink);
  return end;
}

// The outcome of a file not loaded, and of an output that did not end in place.
constexpr RunOutcome outcomeOf(FileLoad load) {
  return load == FileLoad::OutOfMemory ? RunOutcome::OutOfMemory
         : load == FileLoad::CannotRead ? RunOutcome::CannotRead
                                        : RunOutcome::Written;
}
constexpr RunOutcome outcomeOf(OutputEnd end) {
  return end == OutputEnd::OutOfMemory ? RunOutcome::OutOfMemory
         : end == OutputEnd::CannotWrite ? RunOutcome::CannotWrite
                                         : RunOutcome::Written;
}

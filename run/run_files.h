// How a run reaches its files and its memory, so that the same run serves every front end:
// the command line reads and writes them on disk, the page hands over bytes it already holds
// and takes the outputs in memory, the tests give buffers of their own and limit the memory.
#pragma once

#include <cstddef>
#include <cstdint>

#include "definitions/text_sink.h"
#include "model/memory_hook.h"
#include "model/model_image.h"

enum class FileLoad : std::uint8_t { Loaded, CannotRead, OutOfMemory };

struct RunFiles {
  void* context = nullptr;
  // The whole file at `path`, with `extra` zero bytes after it that its size does not count.
  // Files held in memory are copied through `memory`; files on disk have buffers of their
  // own. Otherwise the image is left empty.
  FileLoad (*load)(void* context, const char* path, std::size_t extra, const MemoryHook& memory,
                   ModelImage& image) = nullptr;
  // Gives back what `load` gave.
  void (*release)(void* context, const MemoryHook& memory, ModelImage& image) = nullptr;
  // Whether two paths name one existing file, by any path, link or spelling. Null where
  // the output is no file a path can name (the page's).
  bool (*sameFile)(void* context, const char* first, const char* second) = nullptr;
  // An output being made, one at a time: `openOutput` points `sink` at where its bytes go
  // (a stream, or memory), as text or as bytes; `closeOutput` flushes the sink and puts the
  // output in place at `path` when `complete`, else leaves no trace of it. False from
  // either: the output cannot be written.
  bool (*openOutput)(void* context, const char* path, bool text, TextSink& sink) = nullptr;
  bool (*closeOutput)(void* context, const char* path, TextSink& sink, bool complete) = nullptr;
  // Every allocation the run makes.
  MemoryHook memory;
};

// Through the files, each a refusal where the front end gives no such way.
inline FileLoad loadRunFile(const RunFiles& files, const char* path, std::size_t extra, ModelImage& image) {
  image = ModelImage{};
  return files.load == nullptr ? FileLoad::CannotRead : files.load(files.context, path, extra, files.memory, image);
}

inline void releaseRunFile(const RunFiles& files, ModelImage& image) {
  if (image.bytes != nullptr && files.release != nullptr) files.release(files.context, files.memory, image);
  image = ModelImage{};
}

inline bool sameRunFile(const RunFiles& files, const char* first, const char* second) {
  return files.sameFile != nullptr && files.sameFile(files.context, first, second);
}

inline bool openRunOutput(const RunFiles& files, const char* path, bool text, TextSink& sink) {
  return files.openOutput != nullptr && files.openOutput(files.context, path, text, sink);
}

inline bool closeRunOutput(const RunFiles& files, const char* path, TextSink& sink, bool complete) {
  return files.closeOutput != nullptr && files.closeOutput(files.context, path, sink, complete);
}

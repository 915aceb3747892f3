// How a run reaches its files, so that the same run serves every front end: the command
// line reads them from disk, the page hands over bytes it already holds, the tests give
// buffers of their own.
#pragma once

#include <cstddef>

#include "model/model_image.h"

struct RunFiles {
  void* context = nullptr;
  // The whole file at `path`, with `extra` zero bytes after it that its size does not count;
  // false when it cannot be read, or memory cannot be had (the image is then empty).
  bool (*load)(void* context, const char* path, std::size_t extra, ModelImage& image) = nullptr;
  // Gives back what `load` gave.
  void (*release)(void* context, ModelImage& image) = nullptr;
  // Whether two paths name one existing file, by any path, link or spelling. Null where
  // the output is no file a path can name (the page's).
  bool (*sameFile)(void* context, const char* first, const char* second) = nullptr;
};

// Through the files, each a no-op where the front end gives no such way.
inline bool loadRunFile(const RunFiles& files, const char* path, std::size_t extra, ModelImage& image) {
  image = ModelImage{};
  return files.load != nullptr && files.load(files.context, path, extra, image);
}

inline void releaseRunFile(const RunFiles& files, ModelImage& image) {
  if (image.bytes != nullptr && files.release != nullptr) files.release(files.context, image);
  image = ModelImage{};
}

inline bool sameRunFile(const RunFiles& files, const char* first, const char* second) {
  return files.sameFile != nullptr && files.sameFile(files.context, first, second);
}

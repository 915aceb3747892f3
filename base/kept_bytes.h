// Bytes kept in memory, appended to a block that grows through a hook: an output the page
// or a test holds, a file's JSON being made. Once memory cannot be had the block is failed
// and takes nothing more, so that a writer checks once, at the end.
#pragma once

#include <cstddef>
#include <cstring>

#include "base/memory_hook.h"

struct KeptBytes {
  unsigned char* bytes = nullptr;
  std::size_t size = 0;
  std::size_t capacity = 0;
  MemoryHook memory;
  bool failed = false;
};

// Grows the block to take `more` bytes past the end; false (and the block failed) when it
// cannot be had.
bool growBytes(KeptBytes& kept, std::size_t more);

// Room for `more` bytes past the end; false (and the block failed) when it cannot be had.
// Inline: text comes a few bytes at a time.
inline bool reserveBytes(KeptBytes& kept, std::size_t more) {
  if (!kept.failed && more <= kept.capacity - kept.size) return true;
  return growBytes(kept, more);
}

inline bool appendBytes(KeptBytes& kept, const void* bytes, std::size_t length) {
  if (!reserveBytes(kept, length)) return false;
  if (length != 0) std::memcpy(kept.bytes + kept.size, bytes, length);
  kept.size += length;
  return true;
}

template <std::size_t N>
void appendLiteral(KeptBytes& kept, const char (&text)[N]) {
  appendBytes(kept, text, N - 1);
}

inline void appendByte(KeptBytes& kept, char byte) {
  if (reserveBytes(kept, 1)) kept.bytes[kept.size++] = static_cast<unsigned char>(byte);
}

// Gives the block back; the bytes are then empty and no longer failed.
void releaseBytes(KeptBytes& kept);

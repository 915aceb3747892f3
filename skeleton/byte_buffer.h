// Bytes appended to a block that grows through the run's memory hook. Once memory cannot
// be had the buffer is failed and takes nothing more, so that a writer checks once, at
// the end.
#pragma once

#include <cstddef>
#include <cstring>

#include "base/memory_hook.h"

struct ByteBuffer {
  const MemoryHook* memory = nullptr;
  unsigned char* bytes = nullptr;
  std::size_t size = 0;
  std::size_t capacity = 0;
  bool failed = false;
};

// Room for `more` bytes past the end; false (and the buffer failed) when it cannot be had.
bool reserveBytes(ByteBuffer& buffer, std::size_t more);

inline void appendBytes(ByteBuffer& buffer, const void* bytes, std::size_t length) {
  if (!reserveBytes(buffer, length)) return;
  if (length != 0) std::memcpy(buffer.bytes + buffer.size, bytes, length);
  buffer.size += length;
}

template <std::size_t N>
void appendLiteral(ByteBuffer& buffer, const char (&text)[N]) {
  appendBytes(buffer, text, N - 1);
}

inline void appendByte(ByteBuffer& buffer, char byte) { appendBytes(buffer, &byte, 1); }

// Gives the block back; the buffer is then empty.
void releaseBytes(ByteBuffer& buffer);

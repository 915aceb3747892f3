#include "base/kept_bytes.h"

bool growBytes(KeptBytes& buffer, std::size_t more) {
  if (buffer.failed) return false;
  const std::size_t largest = static_cast<std::size_t>(-1);
  if (more > largest - buffer.size) {
    buffer.failed = true;
    return false;
  }
  const std::size_t needed = buffer.size + more;
  // Doubling keeps the copies to a few of the final size.
  std::size_t capacity = buffer.capacity < 4096 ? 4096 : buffer.capacity;
  while (capacity < needed) capacity = capacity > largest / 2 ? needed : capacity * 2;
  void* grown = reallocateWith(buffer.memory, buffer.bytes, capacity);
  if (grown == nullptr) {
    buffer.failed = true;
    return false;
  }
  buffer.bytes = static_cast<unsigned char*>(grown);
  buffer.capacity = capacity;
  return true;
}

void releaseBytes(KeptBytes& buffer) {
  freeWith(buffer.memory, buffer.bytes);
  buffer.bytes = nullptr;
  buffer.size = 0;
  buffer.capacity = 0;
  buffer.failed = false;
}

// The memory a run asks for, through one hook that its caller can limit: a test fails the
// n-th request on purpose, so that every path taken when memory cannot be had is walked.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <cstring>

struct MemoryHook {
  void* context = nullptr;
  // As realloc: `block` null for a new block; `size` 0 frees `block` and returns null.
  // Null when the memory cannot be had, `block` then untouched. Null hook: the C library's.
  void* (*reallocate)(void* context, void* block, std::size_t size) = nullptr;
};

inline void* reallocateWith(const MemoryHook& hook, void* block, std::size_t size) {
  if (hook.reallocate != nullptr) return hook.reallocate(hook.context, block, size);
  if (size == 0) {
    std::free(block);
    return nullptr;
  }
  return std::realloc(block, size);
}

inline void* allocateWith(const MemoryHook& hook, std::size_t size) {
  return reallocateWith(hook, nullptr, size == 0 ? 1 : size);
}

inline void freeWith(const MemoryHook& hook, void* block) {
  if (block != nullptr) reallocateWith(hook, block, 0);
}

// `count` items of `size` bytes, as they come; null also when the product overflows.
inline void* allocateArrayWith(const MemoryHook& hook, std::size_t count, std::size_t size) {
  if (size != 0 && count > static_cast<std::size_t>(-1) / size) return nullptr;
  return allocateWith(hook, count * size);
}

// `count` items of `size` bytes, zeroed; null also when the product overflows.
inline void* allocateZeroedWith(const MemoryHook& hook, std::size_t count, std::size_t size) {
  if (size != 0 && count > static_cast<std::size_t>(-1) / size) return nullptr;
  void* block = allocateWith(hook, count * size);
  if (block != nullptr) std::memset(block, 0, count * size);
  return block;
}

// A list of plain records grown by doubling in the run's memory, so that running out of it
// is an outcome the run reports, not the end of the program.
#pragma once

#include <cstddef>
#include <type_traits>

#include "base/memory_hook.h"

template <typename T>
struct GrowingList {
  static_assert(std::is_trivially_copyable_v<T>);
  T* items = nullptr;
  std::size_t count = 0;
  std::size_t room = 0;
};

// False, adding nothing, when the memory cannot be had.
template <typename T>
bool addTo(GrowingList<T>& list, const T& item, const MemoryHook& memory) {
  if (list.count == list.room) {
    const std::size_t room = list.room == 0 ? 16 : 2 * list.room;
    void* grown = room > static_cast<std::size_t>(-1) / sizeof(T) ? nullptr
                                                                   : reallocateWith(memory, list.items, room * sizeof(T));
    if (grown == nullptr) return false;
    list.items = static_cast<T*>(grown);
    list.room = room;
  }
  list.items[list.count++] = item;
  return true;
}

template <typename T>
void releaseList(GrowingList<T>& list, const MemoryHook& memory) {
  freeWith(memory, list.items);
  list = GrowingList<T>{};
}

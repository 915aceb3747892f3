#include "model/bone_names.h"

#include <chrono>
#include <cstdlib>
#include <cstring>

#include "base/fnv_hash.h"
#include "model/model_bounds.h"

namespace {

constexpr std::uint32_t kSharedName = 0x80000000u;

// FNV-1a over the bytes from a seed that differs between runs, then mixed so that the low
// bits, which pick the slot, depend on all of them: a file made to crowd one slot for one
// run does not crowd it for the next.
std::size_t hashName(std::uint64_t seed, const char* name, std::size_t length) {
  std::uint64_t hash = fnvHash(name, length, kFnvStart ^ seed);
  hash ^= hash >> 33;
  hash *= 0xff51afd7ed558ccdULL;
  hash ^= hash >> 33;
  return static_cast<std::size_t>(hash);
}

std::uint64_t runSeed() {
  int onTheStack = 0;
  return static_cast<std::uint64_t>(
             std::chrono::steady_clock::now().time_since_epoch().count()) ^
         static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(&onTheStack));
}

// Whether bone `stored` bears exactly this name.
bool bears(const ModelImage& image, std::uint32_t slot, const char* name, std::size_t length) {
  std::size_t storedLength = 0;
  const char* stored =
      checkedBoneName(image, static_cast<std::int32_t>((slot & ~kSharedName) - 1), storedLength);
  return stored != nullptr && storedLength == length && std::memcmp(stored, name, length) == 0;
}

}  // namespace

bool indexBoneNames(const ModelImage& image, const MemoryHook& memory, BoneNameIndex& index) {
  index = BoneNameIndex{};
  const std::int32_t bones = boneCount(image);
  if (bones <= 0) return true;
  // At most four slots in five filled, so that probes stay short.
  std::size_t slots = 8;
  while (slots < static_cast<std::size_t>(bones) + static_cast<std::size_t>(bones) / 4 + 1) slots *= 2;
  index.slots = static_cast<std::uint32_t*>(allocateZeroedWith(memory, slots, sizeof *index.slots));
  if (index.slots == nullptr) return false;
  index.mask = slots - 1;
  index.seed = runSeed();
  for (std::int32_t i = 0; i < bones; ++i) {
    std::size_t length = 0;
    const char* name = checkedBoneName(image, i, length);
    if (name == nullptr) continue;
    for (std::size_t at = hashName(index.seed, name, length) & index.mask;; at = (at + 1) & index.mask) {
      std::uint32_t& slot = index.slots[at];
      if (slot == 0) {
        slot = static_cast<std::uint32_t>(i) + 1;
        break;
      }
      if (bears(image, slot, name, length)) {
        slot |= kSharedName;
        break;
      }
    }
  }
  return true;
}

void releaseBoneNameIndex(const MemoryHook& memory, BoneNameIndex& index) {
  freeWith(memory, index.slots);
  index = BoneNameIndex{};
}

std::int32_t findBoneByName(const ModelImage& image, const BoneNameIndex& index,
                            const char* name, std::size_t length) {
  if (index.slots == nullptr) return kNoSuchBone;
  for (std::size_t at = hashName(index.seed, name, length) & index.mask;; at = (at + 1) & index.mask) {
    const std::uint32_t slot = index.slots[at];
    if (slot == 0) return kNoSuchBone;
    if (bears(image, slot, name, length)) {
      return (slot & kSharedName) != 0 ? kSharedBoneName : static_cast<std::int32_t>(slot - 1);
    }
  }
}

// Finding bones by their stored names, for edits that name them. Each name is hashed once,
// so that an edits file naming every bone of a large model costs one lookup a name.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/memory_hook.h"
#include "model/model_image.h"

struct BoneNameIndex {
  std::uint32_t* slots = nullptr;  // bone index + 1, with kSharedName set; 0: empty
  std::size_t mask = 0;            // slot count - 1 (a power of two)
  std::uint64_t seed = 0;
};

constexpr std::int32_t kNoSuchBone = -1;
constexpr std::int32_t kSharedBoneName = -2;

// Indexes every bone of an image that has passed findModelDamage whose name lies inside it.
// False when the memory cannot be had; the index is then empty. Release it with
// releaseBoneNameIndex, through the same hook, either way.
bool indexBoneNames(const ModelImage& image, const MemoryHook& memory, BoneNameIndex& index);
void releaseBoneNameIndex(const MemoryHook& memory, BoneNameIndex& index);

// The bone whose stored name is exactly these bytes, kNoSuchBone, or kSharedBoneName when
// two bones or more bear it.
std::int32_t findBoneByName(const ModelImage& image, const BoneNameIndex& index,
                            const char* name, std::size_t length);

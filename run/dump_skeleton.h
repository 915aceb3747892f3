// A dumped model's skeleton, where a front end asks for it: the .glb written beside the
// text, and the bones' places kept as facts for the page's view. Read after the text is in
// place, so that a skeleton that cannot be drawn changes nothing the dump writes or says.
#pragma once

#include <cstddef>
#include <cstdint>

#include "model/model_image.h"
#include "model/skeleton_bones.h"
#include "run/run_files.h"

// How the skeleton ended.
enum class SkeletonEnd : std::uint8_t {
  NotAsked,
  Written,      // the .glb in place, the facts kept: as asked
  CannotDraw,   // the fault says why
  CannotWrite,  // the .glb
  OutOfMemory,
};

// Every bone's place as read, for the page. Each bone's name packed after a head of three
// bytes: whether it is a jiggle bone (1 or 0) and its name's length in two bytes, little-
// endian (0: a name that lies outside the file).
struct SkeletonFacts {
  SkeletonEnd end = SkeletonEnd::NotAsked;
  SkeletonFault fault;  // CannotDraw
  std::int32_t count = 0;
  SkeletonBone* bones = nullptr;
  unsigned char* names = nullptr;
};

inline constexpr std::size_t kSkeletonNameHead = 3;

// Writes the skeleton of a checked, normalised image to `path` (when not null) as a .glb,
// and keeps its facts when `keep`.
void dumpSkeleton(const ModelImage& image, const char* path, bool keep, const RunFiles& files, SkeletonFacts& facts);
void releaseSkeletonFacts(SkeletonFacts& facts, const MemoryHook& memory);

// Visits each bone the facts keep: visit(i, bone, name, nameLength, isJiggle).
template <typename Visit>
void forEachSkeletonBone(const SkeletonFacts& facts, Visit visit) {
  const unsigned char* at = facts.names;
  for (std::int32_t i = 0; at != nullptr && i < facts.count; ++i) {
    const std::size_t length = static_cast<std::size_t>(at[1]) | static_cast<std::size_t>(at[2]) << 8;
    visit(i, facts.bones[i], reinterpret_cast<const char*>(at + kSkeletonNameHead), length, at[0] != 0);
    at += kSkeletonNameHead + length;
  }
}

#include "run/dump_skeleton.h"

#include <cstring>

#include "model/jiggle_bone.h"
#include "model/model_bounds.h"
#include "skeleton/bone_details.h"
#include "skeleton/skeleton_glb.h"
#include "skeleton/world_frames.h"

namespace {

// The working memory of one skeleton: the places read, and each bone's details.
struct Scratch {
  SkeletonBone* bones = nullptr;
  JiggleBone* decoded = nullptr;
  BoneDetails* details = nullptr;
  WorldFrame* frames = nullptr;
};

bool allocated(const Scratch& s, bool withFrames) {
  return s.bones != nullptr && s.decoded != nullptr && s.details != nullptr && (s.frames != nullptr || !withFrames);
}

void release(const MemoryHook& memory, Scratch& s) {
  freeWith(memory, s.bones);
  freeWith(memory, s.decoded);
  freeWith(memory, s.details);
  freeWith(memory, s.frames);
  s = Scratch{};
}

SkeletonEnd endOf(OutputEnd end) {
  return end == OutputEnd::InPlace ? SkeletonEnd::Written
         : end == OutputEnd::OutOfMemory ? SkeletonEnd::OutOfMemory
                                         : SkeletonEnd::CannotWrite;
}

SkeletonEnd writeGlb(const Scratch& s, std::int32_t count, const char* path, const RunFiles& files,
                     SkeletonFault& fault) {
  GlbBytes glb;
  if (!writeSkeletonGlb(s.bones, count, s.details, files.memory, glb, fault)) {
    return fault.kind != SkeletonFaultKind::None ? SkeletonEnd::CannotDraw : SkeletonEnd::OutOfMemory;
  }
  const OutputEnd end = writeRunOutput(files, path, false, [&](ByteSink& sink) {
    sinkWrite(sink, reinterpret_cast<const char*>(glb.bytes), glb.size);
    return true;
  });
  freeWith(files.memory, glb.bytes);
  return endOf(end);
}

// The names packed, in a block of exactly their size. False when memory cannot be had.
bool keepNames(const Scratch& s, std::int32_t count, const MemoryHook& memory, SkeletonFacts& facts) {
  std::size_t bytes = 0;
  for (std::int32_t i = 0; i < count; ++i) bytes += kSkeletonNameHead + s.details[i].nameLength;
  facts.names = static_cast<unsigned char*>(allocateWith(memory, bytes));
  if (facts.names == nullptr) return false;
  unsigned char* at = facts.names;
  for (std::int32_t i = 0; i < count; ++i) {
    const BoneDetails& bone = s.details[i];
    at[0] = bone.jiggle != nullptr ? 1 : 0;
    at[1] = static_cast<unsigned char>(bone.nameLength);
    at[2] = static_cast<unsigned char>(bone.nameLength >> 8);
    if (bone.nameLength > 0) std::memcpy(at + kSkeletonNameHead, bone.name, bone.nameLength);
    at += kSkeletonNameHead + bone.nameLength;
  }
  return true;
}

}  // namespace

void dumpSkeleton(const ModelImage& image, const char* path, bool keep, const RunFiles& files, SkeletonFacts& facts) {
  static_assert(kMaxBoneNameLength <= 0xFFFF, "a name's length is kept in two bytes");
  facts = SkeletonFacts{};
  const std::int32_t count = skeletonBoneCount(image);
  const auto n = static_cast<std::size_t>(count);
  const MemoryHook& memory = files.memory;
  // Each filled before it is read: no zeroing. The frames only find a bone beyond the float
  // range where no .glb is written, which finds it itself.
  Scratch s;
  s.bones = static_cast<SkeletonBone*>(allocateZeroedWith(memory, n, sizeof(SkeletonBone)));
  s.decoded = static_cast<JiggleBone*>(allocateArrayWith(memory, n, sizeof(JiggleBone)));
  s.details = static_cast<BoneDetails*>(allocateArrayWith(memory, n, sizeof(BoneDetails)));
  s.frames = path == nullptr ? static_cast<WorldFrame*>(allocateArrayWith(memory, n, sizeof(WorldFrame))) : nullptr;
  if (!allocated(s, path == nullptr)) {
    facts.end = SkeletonEnd::OutOfMemory;
  } else if (!readSkeleton(image, s.bones, facts.fault) ||
             (path == nullptr && !chainWorldFrames(s.bones, count, s.frames, facts.fault))) {
    facts.end = SkeletonEnd::CannotDraw;
  } else {
    gatherBoneDetails(image, count, s.decoded, s.details);
    facts.end = path != nullptr ? writeGlb(s, count, path, files, facts.fault) : SkeletonEnd::Written;
    if (facts.end == SkeletonEnd::Written && keep) {
      if (keepNames(s, count, memory, facts)) {
        facts.count = count;
        facts.bones = s.bones;
        s.bones = nullptr;  // the facts' now
      } else {
        facts.end = SkeletonEnd::OutOfMemory;
      }
    }
  }
  release(memory, s);
}

void releaseSkeletonFacts(SkeletonFacts& facts, const MemoryHook& memory) {
  freeWith(memory, facts.bones);
  freeWith(memory, facts.names);
  facts.bones = nullptr;
  facts.names = nullptr;
  facts.count = 0;
}

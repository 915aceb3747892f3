#include "model/skeleton_bones.h"

#include <cmath>

#include "model/byte_order.h"

namespace {

// The header up to the end of the bone table's offset, the last field read here.
constexpr std::size_t kSkeletonHeaderSize = ModelHeader::kBoneTableOffset + 4;

bool fail(SkeletonFault& fault, SkeletonFaultKind kind, std::int32_t bone, std::int32_t parent = -1) {
  fault.kind = kind;
  fault.bone = bone;
  fault.parent = parent;
  return false;
}

template <std::size_t N>
void readFloats(const unsigned char* record, std::size_t offset, float (&out)[N]) {
  for (std::size_t i = 0; i < N; ++i) out[i] = readFloat32LE(record + offset + 4 * i);
}

template <std::size_t N>
bool allFinite(const float (&values)[N]) {
  for (const float value : values) {
    if (!std::isfinite(value)) return false;
  }
  return true;
}

}  // namespace

std::int32_t skeletonBoneCount(const ModelImage& image) {
  if (image.size < kSkeletonHeaderSize) return 0;
  const std::int32_t count = boneCount(image);
  const std::int64_t table = boneTableOffset(image);
  if (count <= 0 || table < 0 || static_cast<std::uint64_t>(table) > image.size) return 0;
  const std::uint64_t held = (image.size - static_cast<std::uint64_t>(table)) / BoneRecord::kSize;
  return held < static_cast<std::uint64_t>(count) ? static_cast<std::int32_t>(held) : count;
}

bool readSkeleton(const ModelImage& image, SkeletonBone* bones, SkeletonFault& fault) {
  fault = SkeletonFault{};
  if (image.size < kSkeletonHeaderSize) return fail(fault, SkeletonFaultKind::BoneOutside, -1);
  const std::int32_t count = boneCount(image);
  const std::int64_t table = boneTableOffset(image);
  // 64 bits hold table + 216 * 2^31 with room to spare, on 32-bit hosts too.
  const auto size = static_cast<std::uint64_t>(image.size);
  for (std::int32_t i = 0; i < count; ++i) {
    const std::int64_t start = table + static_cast<std::int64_t>(i) * static_cast<std::int64_t>(BoneRecord::kSize);
    if (start < 0 || static_cast<std::uint64_t>(start) > size ||
        size - static_cast<std::uint64_t>(start) < BoneRecord::kSize) {
      return fail(fault, SkeletonFaultKind::BoneOutside, i);
    }
    const unsigned char* record = image.bytes + start;
    SkeletonBone& bone = bones[i];
    bone.parent = readInt32LE(record + BoneRecord::kParent);
    if (bone.parent < -1 || bone.parent >= i) {
      return fail(fault, SkeletonFaultKind::ParentOutOfOrder, i, bone.parent);
    }
    readFloats(record, BoneRecord::kPosition, bone.position);
    readFloats(record, BoneRecord::kRotation, bone.rotation);
    readFloats(record, BoneRecord::kInverseWorld, bone.inverseWorld);
    if (!allFinite(bone.position) || !allFinite(bone.rotation) || !allFinite(bone.inverseWorld)) {
      return fail(fault, SkeletonFaultKind::NotFinite, i);
    }
    if (bone.rotation[0] == 0 && bone.rotation[1] == 0 && bone.rotation[2] == 0 && bone.rotation[3] == 0) {
      return fail(fault, SkeletonFaultKind::ZeroRotation, i);
    }
  }
  return true;
}

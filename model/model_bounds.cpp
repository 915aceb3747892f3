#include "model/model_bounds.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "model/byte_order.h"

namespace {

constexpr auto kBoneSize = static_cast<std::int64_t>(BoneRecord::kSize);

static_assert(kMaxBoneNameLength == 4096, "the message below names the limit");

// Does [start, start + length) lie inside the image? 64-bit signed arithmetic cannot
// overflow here: start is at most an int32 plus a table offset, length at most
// 2^31 records of a few hundred bytes.
bool liesInside(const ModelImage& image, std::int64_t start, std::int64_t length) {
  if (start < 0 || length < 0) return false;
  const auto size = static_cast<std::uint64_t>(image.size);
  return static_cast<std::uint64_t>(start) <= size &&
         static_cast<std::uint64_t>(length) <= size - static_cast<std::uint64_t>(start);
}

bool tableLiesInside(const ModelImage& image, std::int32_t offset, std::int32_t count,
                     std::size_t recordSize) {
  if (count <= 0) return true;  // an empty table reaches nothing
  return liesInside(image, offset, static_cast<std::int64_t>(count) *
                                       static_cast<std::int64_t>(recordSize));
}

// Describes the fault; `what` may name the bone with %d. Returns true, for the caller
// to return at once.
bool fail(ModelDamage& damage, const char* what, std::int32_t bone = 0) {
  std::snprintf(damage.what, sizeof damage.what, what, static_cast<int>(bone));
  return true;
}

// Checks the name and parameter record of one jiggle bone at image offset boneStart.
bool findJiggleBoneDamage(const ModelImage& image, std::int64_t boneStart, std::int32_t index,
                          ModelDamage& damage) {
  const unsigned char* bone = image.bytes + boneStart;
  const std::int64_t params = boneStart + readInt32LE(bone + BoneRecord::kRuleOffset);
  if (!liesInside(image, params, static_cast<std::int64_t>(JiggleParams::kSize))) {
    return fail(damage, "bone %d's jiggle parameters lie outside the file", index);
  }
  const std::int64_t name = boneStart + readInt32LE(bone + BoneRecord::kNameOffset);
  if (!liesInside(image, name, 1)) {
    return fail(damage, "bone %d's name lies outside the file", index);
  }
  const std::size_t left = image.size - static_cast<std::size_t>(name);
  const std::size_t searched = left < kMaxBoneNameLength + 1 ? left : kMaxBoneNameLength + 1;
  if (std::memchr(image.bytes + name, 0, searched) == nullptr) {
    return fail(damage,
                    searched == left ? "bone %d's name runs past the end of the file"
                                     : "bone %d's name is longer than 4096 characters",
                    index);
  }
  return false;
}

}  // namespace

bool findModelDamage(const ModelImage& image, ModelDamage& damage) {
  damage.what[0] = '\0';
  if (image.size < ModelHeader::kUsedSize) return fail(damage, "the header lies outside the file");
  const std::int32_t version = modelVersion(image);
  if (version < kFirstVersionKeepingRetiredWord && image.size < ModelHeader::kRetiredWord + 4) {
    return fail(damage, "the header's retired word lies outside the file");
  }
  if (std::memchr(image.bytes + ModelHeader::kName, 0, ModelHeader::kNameWidth) == nullptr) {
    return fail(damage, "the model name runs past the end of its field");
  }
  const std::int32_t bones = boneCount(image);
  if (!tableLiesInside(image, boneTableOffset(image), bones, BoneRecord::kSize)) {
    return fail(damage, "the bone table lies outside the file");
  }
  if (version < kCurrentVersion &&
      !tableLiesInside(image, animTableOffset(image), animCount(image), AnimDescriptor::kSize)) {
    return fail(damage, "the animation descriptor table lies outside the file");
  }
  for (std::int32_t i = 0; i < bones; ++i) {
    const std::int64_t start = static_cast<std::int64_t>(boneTableOffset(image)) +
                               static_cast<std::int64_t>(i) * kBoneSize;
    if (isJiggleBone(image.bytes + start) && findJiggleBoneDamage(image, start, i, damage)) {
      return true;
    }
  }
  return false;
}

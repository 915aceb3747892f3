#include "model/model_bounds.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>

#include "model/byte_order.h"

namespace {

constexpr auto kBoneSize = static_cast<std::int64_t>(BoneRecord::kSize);

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

std::int64_t boneStart(const ModelImage& image, std::int32_t index) {
  return static_cast<std::int64_t>(boneTableOffset(image)) + static_cast<std::int64_t>(index) * kBoneSize;
}

enum class NameFault { None, Outside, RunsPastEnd, TooLong };

// The name of the bone at image offset `start`: inside the image and ended by a NUL
// within kMaxBoneNameLength characters, or what is wrong with it.
NameFault findNameFault(const ModelImage& image, std::int64_t start, std::size_t& length) {
  const std::int64_t name = start + readInt32LE(image.bytes + start + BoneRecord::kNameOffset);
  if (!liesInside(image, name, 1)) return NameFault::Outside;
  const std::size_t left = image.size - static_cast<std::size_t>(name);
  const std::size_t searched = left < kMaxBoneNameLength + 1 ? left : kMaxBoneNameLength + 1;
  const void* end = std::memchr(image.bytes + name, 0, searched);
  if (end == nullptr) return searched == left ? NameFault::RunsPastEnd : NameFault::TooLong;
  length = static_cast<std::size_t>(static_cast<const unsigned char*>(end) - (image.bytes + name));
  return NameFault::None;
}

// Notes the fault. Returns true, for the caller to return at once.
bool fail(ModelDamage& damage, ModelDamageKind kind, std::int32_t bone = -1) {
  damage.kind = kind;
  damage.bone = bone;
  return true;
}

// Checks the name and parameter record of one jiggle bone at image offset start.
bool findJiggleBoneDamage(const ModelImage& image, std::int64_t start, std::int32_t index,
                          ModelDamage& damage) {
  const std::int64_t params = start + readInt32LE(image.bytes + start + BoneRecord::kRuleOffset);
  if (!liesInside(image, params, static_cast<std::int64_t>(JiggleParams::kSize))) {
    return fail(damage, ModelDamageKind::JiggleRecordOutside, index);
  }
  std::size_t length = 0;
  switch (findNameFault(image, start, length)) {
    case NameFault::None: return false;
    case NameFault::Outside: return fail(damage, ModelDamageKind::BoneNameOutside, index);
    case NameFault::RunsPastEnd:
      return fail(damage, ModelDamageKind::BoneNameRunsPastEnd, index);
    case NameFault::TooLong:
      return fail(damage, ModelDamageKind::BoneNameTooLong, index);
  }
  return false;
}

}  // namespace

bool findModelDamage(const ModelImage& image, ModelDamage& damage) {
  damage = ModelDamage{};
  if (image.size < ModelHeader::kUsedSize) return fail(damage, ModelDamageKind::HeaderOutside);
  const std::int32_t version = modelVersion(image);
  if (version < kFirstVersionKeepingRetiredWord && image.size < ModelHeader::kRetiredWord + 4) {
    return fail(damage, ModelDamageKind::RetiredWordOutside);
  }
  if (std::memchr(image.bytes + ModelHeader::kName, 0, ModelHeader::kNameWidth) == nullptr) {
    return fail(damage, ModelDamageKind::ModelNameUnended);
  }
  const std::int32_t bones = boneCount(image);
  if (!tableLiesInside(image, boneTableOffset(image), bones, BoneRecord::kSize)) {
    return fail(damage, ModelDamageKind::BoneTableOutside);
  }
  if (version < kCurrentVersion &&
      !tableLiesInside(image, animTableOffset(image), animCount(image), AnimDescriptor::kSize)) {
    return fail(damage, ModelDamageKind::DescriptorTableOutside);
  }
  for (std::int32_t i = 0; i < bones; ++i) {
    const std::int64_t start = boneStart(image, i);
    if (isJiggleBone(image.bytes + start) && findJiggleBoneDamage(image, start, i, damage)) {
      return true;
    }
  }
  return false;
}

const char* checkedBoneName(const ModelImage& image, std::int32_t index, std::size_t& length) {
  const std::int64_t start = boneStart(image, index);
  if (findNameFault(image, start, length) != NameFault::None) return nullptr;
  return boneName(image.bytes + start);
}

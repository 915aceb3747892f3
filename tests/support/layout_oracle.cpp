#include "tests/support/layout_oracle.h"

#include <algorithm>
#include <cstring>

#include "tests/support/model_builder.h"
#include "tests/support/model_layout.h"

namespace {

constexpr std::size_t kLongestBoneName = 4096;

bool inside(const std::vector<unsigned char>& bytes, std::int64_t start, std::int64_t length) {
  return start >= 0 && length >= 0 && start <= static_cast<std::int64_t>(bytes.size()) &&
         length <= static_cast<std::int64_t>(bytes.size()) - start;
}

bool tableInside(const std::vector<unsigned char>& bytes, std::size_t offsetField, std::size_t countField,
                 std::size_t recordSize) {
  const std::int32_t count = getInt32(bytes, countField);
  return count <= 0 ||
         inside(bytes, getInt32(bytes, offsetField), std::int64_t{count} * static_cast<std::int64_t>(recordSize));
}

std::int64_t boneStart(const std::vector<unsigned char>& bytes, std::int32_t i) {
  return getInt32(bytes, HeaderLayout::kBoneTableOffset) + std::int64_t{i} * static_cast<std::int64_t>(BoneLayout::kSize);
}

bool isJiggle(const std::vector<unsigned char>& bytes, std::int64_t bone) {
  const auto at = static_cast<std::size_t>(bone);
  return getInt32(bytes, at + BoneLayout::kRuleType) == kJiggleRuleValue && getInt32(bytes, at + BoneLayout::kRuleOffset) != 0;
}

// Whether every part the tools read lies inside the file, at the version the bytes hold.
bool readable(const std::vector<unsigned char>& bytes) {
  const std::int32_t version = getInt32(bytes, HeaderLayout::kVersion);
  if (bytes.size() < (version < 47 ? HeaderLayout::kRetiredWord + 4 : HeaderLayout::kUsedSize)) return false;
  if (std::memchr(bytes.data() + HeaderLayout::kName, 0, HeaderLayout::kNameWidth) == nullptr) return false;
  if (!tableInside(bytes, HeaderLayout::kBoneTableOffset, HeaderLayout::kBoneCount, BoneLayout::kSize)) return false;
  if (version < 48 &&
      !tableInside(bytes, HeaderLayout::kAnimTableOffset, HeaderLayout::kAnimCount, DescriptorLayout::kSize)) {
    return false;
  }
  const std::int32_t bones = getInt32(bytes, HeaderLayout::kBoneCount);
  for (std::int32_t i = 0; i < bones; ++i) {
    const std::int64_t bone = boneStart(bytes, i);
    if (!isJiggle(bytes, bone)) continue;
    const auto at = static_cast<std::size_t>(bone);
    if (!inside(bytes, bone + getInt32(bytes, at + BoneLayout::kRuleOffset), JiggleLayout::kSize)) return false;
    const std::int64_t name = bone + getInt32(bytes, at + BoneLayout::kNameOffset);
    if (!inside(bytes, name, 1)) return false;
    const std::size_t left = bytes.size() - static_cast<std::size_t>(name);
    const void* end = std::memchr(bytes.data() + name, 0, std::min(left, kLongestBoneName + 1));
    if (end == nullptr) return false;
  }
  return true;
}

// The version rules, as the layout's descriptors take them.
void normalise(std::vector<unsigned char>& bytes) {
  const std::int32_t version = getInt32(bytes, HeaderLayout::kVersion);
  if (version == 48) return;
  const std::int32_t count = version < 48 ? getInt32(bytes, HeaderLayout::kAnimCount) : 0;
  const auto table = static_cast<std::size_t>(getInt32(bytes, HeaderLayout::kAnimTableOffset));
  for (std::int32_t i = 0; i < count; ++i) {
    const std::size_t d = table + static_cast<std::size_t>(i) * DescriptorLayout::kSize;
    if (version < 46 && getInt32(bytes, d + DescriptorLayout::kSectionWord) != 0) {
      std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(d + 16), bytes.begin() + static_cast<std::ptrdiff_t>(d + 100), 0);
      putInt32(bytes, d + DescriptorLayout::kFrameCount, 1);
      putInt32(bytes, d + DescriptorLayout::kBlockIndex, -1);
    }
    if (version < 47 || getInt32(bytes, d + DescriptorLayout::kSpanOffset) != 0) {
      putInt32(bytes, d + DescriptorLayout::kSpanOffset, 0);
      putInt16(bytes, d + DescriptorLayout::kSpanLength, 0);
    }
  }
  if (version < 47) putInt32(bytes, HeaderLayout::kRetiredWord, 0);
  putInt32(bytes, HeaderLayout::kVersion, 48);
}

// The stored name's base, less four characters, must make a file name in the folder.
bool usableName(const std::vector<unsigned char>& bytes) {
  const char* name = reinterpret_cast<const char*>(bytes.data() + HeaderLayout::kName);
  const char* base = name;
  for (const char* c = name; *c != '\0'; ++c) {
    if (*c == '/' || *c == '\\') base = c + 1;
  }
  const std::size_t length = std::strlen(base);
  const std::size_t kept = length >= 4 ? length - 4 : length;
  for (std::size_t i = 0; i < kept; ++i) {
    const auto c = static_cast<unsigned char>(base[i]);
    if (c < 0x20 || c == 0x7F || c == ':') return false;
  }
  return true;
}

}  // namespace

int statusByLayout(const std::vector<unsigned char>& original) {
  if (original.size() < 4 || std::memcmp(original.data(), "IDST", 4) != 0) return 3;
  if (original.size() < 8) return 7;
  if (getInt32(original, HeaderLayout::kVersion) < 45) return 4;
  if (!readable(original)) return 7;
  std::vector<unsigned char> bytes = original;
  normalise(bytes);
  if (!readable(bytes) || !usableName(bytes)) return 7;
  const std::int32_t bones = getInt32(bytes, HeaderLayout::kBoneCount);
  for (std::int32_t i = 0; i < bones; ++i) {
    if (isJiggle(bytes, boneStart(bytes, i))) return 0;
  }
  return 5;
}

std::size_t lengthReadByLayout(const std::vector<unsigned char>& bytes) {
  const std::int32_t version = getInt32(bytes, HeaderLayout::kVersion);
  std::size_t needed = version < 47 ? HeaderLayout::kRetiredWord + 4 : HeaderLayout::kUsedSize;
  const auto reach = [&](std::int64_t end) { needed = std::max(needed, static_cast<std::size_t>(end)); };
  const std::int32_t bones = getInt32(bytes, HeaderLayout::kBoneCount);
  if (bones > 0) reach(boneStart(bytes, bones));
  const std::int32_t descriptors = getInt32(bytes, HeaderLayout::kAnimCount);
  if (version < 48 && descriptors > 0) {
    reach(getInt32(bytes, HeaderLayout::kAnimTableOffset) +
          std::int64_t{descriptors} * static_cast<std::int64_t>(DescriptorLayout::kSize));
  }
  for (std::int32_t i = 0; i < bones; ++i) {
    const std::int64_t bone = boneStart(bytes, i);
    if (!isJiggle(bytes, bone)) continue;
    const auto at = static_cast<std::size_t>(bone);
    reach(bone + getInt32(bytes, at + BoneLayout::kRuleOffset) + static_cast<std::int64_t>(JiggleLayout::kSize));
    const auto name = static_cast<std::size_t>(bone + getInt32(bytes, at + BoneLayout::kNameOffset));
    const auto* end = static_cast<const unsigned char*>(std::memchr(bytes.data() + name, 0, bytes.size() - name));
    reach(end - bytes.data() + 1);
  }
  return needed;
}

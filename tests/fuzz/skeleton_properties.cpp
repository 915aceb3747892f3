#include "tests/fuzz/skeleton_properties.h"

#include <bit>
#include <cstdint>
#include <vector>

#include "model/skeleton_bones.h"
#include "skeleton/bone_details.h"
#include "skeleton/skeleton_glb.h"
#include "tests/support/model_builder.h"

namespace {

std::uint32_t word(const std::vector<unsigned char>& bytes, std::size_t at) {
  return static_cast<std::uint32_t>(getInt32(bytes, at));
}

// Well-formed UTF-8, by the standard's table of byte ranges.
bool isUtf8(const std::vector<unsigned char>& b, std::size_t from, std::size_t to) {
  for (std::size_t i = from; i < to;) {
    const unsigned c = b[i];
    std::size_t more = c < 0x80 ? 0 : c >= 0xC2 && c <= 0xDF ? 1 : c >= 0xE0 && c <= 0xEF ? 2 : c >= 0xF0 && c <= 0xF4 ? 3 : 9;
    if (more == 9 || to - i - 1 < more) return false;
    const unsigned low = c == 0xE0 ? 0xA0 : c == 0xF0 ? 0x90 : 0x80;
    const unsigned high = c == 0xED ? 0x9F : c == 0xF4 ? 0x8F : 0xBF;
    for (std::size_t k = 1; k <= more; ++k) {
      const unsigned next = b[i + k];
      if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) return false;
    }
    i += more + 1;
  }
  return true;
}

// The .glb's frame: its header's length is the buffer's, its chunks are whole, padded to
// 4 bytes, typed, the JSON one valid UTF-8 and the BIN one there exactly when there are
// bones; and writing again gives the same bytes.
std::string checkGlb(const std::vector<unsigned char>& glb, std::int32_t count, const std::vector<unsigned char>& again) {
  if (glb != again) return "the same skeleton gave two different .glb files";
  if (glb.size() < 20 || word(glb, 0) != 0x46546C67u || word(glb, 4) != 2) return "a .glb without its header";
  if (word(glb, 8) != glb.size()) return "a .glb whose header's length is not its size";
  const std::size_t json = word(glb, 12);
  if (word(glb, 16) != 0x4E4F534Au || json % 4 != 0 || json > glb.size() - 20) return "a bad JSON chunk";
  if (!isUtf8(glb, 20, 20 + json)) return "a JSON chunk that is not UTF-8";
  const std::size_t end = 20 + json;
  if (count == 0) return end == glb.size() ? "" : "bytes after the JSON chunk of an empty skeleton";
  if (glb.size() - end < 8 || word(glb, end + 4) != 0x004E4942u) return "no BIN chunk";
  const std::size_t bin = word(glb, end);
  if (bin % 4 != 0 || bin != glb.size() - end - 8) return "a BIN chunk of the wrong length";
  return {};
}

// Reads and writes the skeleton of an image; `sound` when it must read without fault.
std::string checkSkeleton(const std::vector<unsigned char>& bytes, bool sound) {
  // Exactly the room asked for, on the heap, so that a write past it is caught.
  const ModelImage image{const_cast<unsigned char*>(bytes.data()), bytes.size()};
  const std::int32_t count = skeletonBoneCount(image);
  if (static_cast<std::size_t>(count) > bytes.size() / BoneLayout::kSize) return "room asked for past the file";
  std::vector<SkeletonBone> bones(static_cast<std::size_t>(count));
  SkeletonFault fault;
  if (!readSkeleton(image, bones.data(), fault)) {
    if (fault.kind == SkeletonFaultKind::None || fault.bone < -1 || fault.bone > count) return "a fault unnamed";
    return sound ? "a sound skeleton did not read" : "";
  }
  std::vector<JiggleBone> decoded(bones.size());
  std::vector<BoneDetails> details(bones.size());
  gatherBoneDetails(image, count, decoded.data(), details.data());
  std::vector<unsigned char> written[2];
  for (auto& out : written) {
    GlbBytes glb;
    if (!writeSkeletonGlb(bones.data(), count, details.data(), MemoryHook{}, glb, fault)) {
      if (fault.kind != SkeletonFaultKind::OutOfReach) return "the .glb was not written";
      return sound ? "a sound skeleton was out of reach" : "";
    }
    out.assign(glb.bytes, glb.bytes + glb.size);
    freeWith(MemoryHook{}, glb.bytes);
  }
  return checkGlb(written[0], count, written[1]);
}

// A sound skeleton chosen by the bytes: up to a dozen bones, each under an earlier one or
// a root, a few units apart, any rotation but zero, names of any bytes but NUL, and jiggle
// records of any bits.
std::vector<unsigned char> chosenSkeleton(const unsigned char* data, std::size_t size) {
  std::size_t at = 0;
  // The input's bytes over and over, each time mixed differently.
  const auto byte = [&]() -> unsigned {
    const unsigned mixed = static_cast<unsigned>(at * 151 & 0xFF);
    const unsigned chosen = size == 0 ? mixed : data[at % size] ^ mixed;
    ++at;
    return chosen;
  };
  const auto word = [&]() {
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) bits |= static_cast<std::uint32_t>(byte()) << (8 * i);
    return bits;
  };
  ModelPlan plan;
  const unsigned count = byte() % 12;
  for (unsigned i = 0; i < count; ++i) {
    BonePlan bone;
    for (unsigned n = byte() % 6; n > 0; --n) bone.name += static_cast<char>(byte() | 1);
    bone.parent = static_cast<std::int32_t>(byte() % (i + 1)) - 1;
    bone.position = std::array<float, 3>{};
    for (float& c : *bone.position) c = (static_cast<float>(byte()) - 128) / 8;
    bone.rotation = std::array<float, 4>{};
    for (float& c : *bone.rotation) c = static_cast<float>(byte()) - 128;
    (*bone.rotation)[3] = static_cast<float>(byte() | 1);  // never all zero
    bone.inverseWorld = std::array<float, 12>{};
    if (byte() % 2 != 0) {
      JigglePlan rule;
      rule.flags = word();
      for (float& value : rule.values) value = std::bit_cast<float>(word());
      bone = BonePlan{bone.name, kJiggleRuleValue, rule, bone.parent, bone.position, bone.rotation, bone.inverseWorld};
    }
    plan.bones.push_back(bone);
  }
  return buildModel(plan).bytes;
}

}  // namespace

std::string findSkeletonViolation(const unsigned char* data, std::size_t size) {
  const std::string violation = checkSkeleton(std::vector<unsigned char>(data, data + size), false);
  return violation.empty() ? checkSkeleton(chosenSkeleton(data, size), true) : violation;
}

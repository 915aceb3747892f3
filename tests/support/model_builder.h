// Builds model images from a plan of what they hold, for tests, tools and the fuzz corpus.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/model_layout.h"

// A jiggle parameter record: flags, and the float fields by their byte offset.
struct JigglePlan {
  std::uint32_t flags = 0;
  // values[offset / 4]; the flags' slot and the unread field's are not written
  std::array<float, JiggleLayout::kSize / 4> values{};
  JigglePlan& set(std::size_t offset, float value) {
    values[offset / 4] = value;
    return *this;
  }
};

struct BonePlan {
  std::string name;
  std::int32_t ruleType = 0;
  std::optional<JigglePlan> rule;  // laid out, and pointed to, when present
  // The bone's place, written when present (else those bytes stay zero).
  std::optional<std::int32_t> parent = std::nullopt;
  std::optional<std::array<float, 3>> position = std::nullopt;
  std::optional<std::array<float, 4>> rotation = std::nullopt;  // x y z w
  std::optional<std::array<float, 12>> inverseWorld = std::nullopt;
};

struct ModelPlan {
  std::int32_t version = kLatestLayoutVersion;
  std::string name = "props/model.mdl";
  std::vector<BonePlan> bones;
  std::vector<std::array<unsigned char, DescriptorLayout::kSize>> descriptors;
  std::int32_t retiredWord = 0;
  std::size_t headerSize = 408;
  // Names and rule records before the bone table, so their offsets are negative.
  bool recordsBeforeBones = false;
};

struct BuiltModel {
  std::vector<unsigned char> bytes;
  std::size_t boneTable = 0;
  std::size_t descriptorTable = 0;
  std::vector<std::size_t> boneNames;   // image offset of each bone's name
  std::vector<std::size_t> boneRules;   // image offset of each rule record (0: none)
};

BuiltModel buildModel(const ModelPlan& plan);

// A jiggle bone with the given flags and record.
BonePlan jiggleBone(std::string name, JigglePlan rule);
// The flexible tail and rigid spring bones of the sample model, among two plain bones.
ModelPlan sampleModelPlan();
// Radians, as float32, of a number of degrees.
float radiansOf(double degrees);

void putInt32(std::vector<unsigned char>& bytes, std::size_t offset, std::int32_t value);
void putInt16(std::vector<unsigned char>& bytes, std::size_t offset, std::int16_t value);
std::int32_t getInt32(const std::vector<unsigned char>& bytes, std::size_t offset);

#include "model/model_bounds.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>

#include "run/console_lines.h"
#include "tests/support/model_builder.h"

namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

// The damage found, in the console's words; empty for a sound image.
std::string damageOf(std::vector<unsigned char> bytes) {
  ModelDamage damage;
  const ModelImage image{bytes.data(), bytes.size()};
  const bool found = findModelDamage(image, damage);
  EXPECT_EQ(found, damage.kind != ModelDamageKind::None);
  return renderToString([&](ByteSink& sink) { renderDamage(damage, sink); });
}

// The sample model with two jiggle bones (1 and 2), records after the bone table.
BuiltModel sample(std::int32_t version = 48) {
  ModelPlan plan = sampleModelPlan();
  plan.version = version;
  return buildModel(plan);
}

std::size_t boneAt(const BuiltModel& m, std::size_t i) { return m.boneTable + i * BoneLayout::kSize; }

struct Case {
  const char* title;
  std::int32_t version;
  std::function<void(BuiltModel&)> damage;
  const char* expected;  // empty: sound
};

TEST(ModelBounds, FindsWhatLiesOutsideTheFile) {
  const Case cases[] = {
      {"sound", 48, [](BuiltModel&) {}, ""},
      {"header one byte short", 48, [](BuiltModel& m) { m.bytes.resize(187); },
       "the header lies outside the file"},
      {"header exactly long enough, no bones", 48,
       [](BuiltModel& m) {
         m.bytes.resize(188);
         putInt32(m.bytes, HeaderLayout::kBoneCount, 0);
       },
       ""},
      {"retired word cut for version 46", 46,
       [](BuiltModel& m) {
         m.bytes.resize(383);
         putInt32(m.bytes, HeaderLayout::kBoneCount, 0);
         putInt32(m.bytes, HeaderLayout::kAnimCount, 0);
       },
       "the header's retired word lies outside the file"},
      {"retired word not needed for version 47", 47,
       [](BuiltModel& m) {
         m.bytes.resize(200);
         putInt32(m.bytes, HeaderLayout::kBoneCount, 0);
         putInt32(m.bytes, HeaderLayout::kAnimCount, 0);
       },
       ""},
      {"name fills its field without a NUL", 48,
       [](BuiltModel& m) { std::fill_n(m.bytes.begin() + 12, 64, 'a'); },
       "the model name runs past the end of its field"},
      {"name of 63 characters and its NUL", 48,
       [](BuiltModel& m) { std::fill_n(m.bytes.begin() + 12, 63, 'a'); }, ""},
      {"huge bone count", 48, [](BuiltModel& m) { putInt32(m.bytes, HeaderLayout::kBoneCount, kMax); },
       "the bone table lies outside the file"},
      {"negative bone count is empty", 48,
       [](BuiltModel& m) { putInt32(m.bytes, HeaderLayout::kBoneCount, kMin); }, ""},
      {"bone table at INT32_MIN", 48,
       [](BuiltModel& m) { putInt32(m.bytes, HeaderLayout::kBoneTableOffset, kMin); },
       "the bone table lies outside the file"},
      {"bone table at INT32_MAX", 48,
       [](BuiltModel& m) { putInt32(m.bytes, HeaderLayout::kBoneTableOffset, kMax); },
       "the bone table lies outside the file"},
      {"bone table one byte past the end", 48,
       [](BuiltModel& m) {
         putInt32(m.bytes, HeaderLayout::kBoneTableOffset,
                  static_cast<std::int32_t>(m.bytes.size() - 4 * BoneLayout::kSize + 1));
       },
       "the bone table lies outside the file"},
      {"descriptor table past the end for version 45", 45,
       [](BuiltModel& m) { putInt32(m.bytes, HeaderLayout::kAnimCount, 2); },
       "the animation descriptor table lies outside the file"},
      {"huge descriptor count for version 45", 45,
       [](BuiltModel& m) { putInt32(m.bytes, HeaderLayout::kAnimCount, kMax); },
       "the animation descriptor table lies outside the file"},
      {"descriptor table ending exactly at the end for version 46", 46, [](BuiltModel&) {}, ""},
      {"descriptor table one byte past the end for version 47", 47,
       [](BuiltModel& m) { m.bytes.pop_back(); },
       "the animation descriptor table lies outside the file"},
      {"descriptor table at INT32_MAX for version 46", 46,
       [](BuiltModel& m) { putInt32(m.bytes, HeaderLayout::kAnimTableOffset, kMax); },
       "the animation descriptor table lies outside the file"},
      {"descriptor table at INT32_MIN for version 47", 47,
       [](BuiltModel& m) { putInt32(m.bytes, HeaderLayout::kAnimTableOffset, kMin); },
       "the animation descriptor table lies outside the file"},
      {"descriptor table is never touched for version 48", 48,
       [](BuiltModel& m) { putInt32(m.bytes, HeaderLayout::kAnimCount, kMax); }, ""},
      {"descriptor table is never touched for version 49", 49,
       [](BuiltModel& m) { putInt32(m.bytes, HeaderLayout::kAnimTableOffset, kMin); }, ""},
      {"rule record straddling the end", 48,
       [](BuiltModel& m) { m.bytes.resize(m.boneRules[2] + JiggleLayout::kSize - 1); },
       "bone 2's jiggle parameters lie outside the file"},
      {"rule offset of INT32_MIN", 48,
       [](BuiltModel& m) { putInt32(m.bytes, boneAt(m, 1) + BoneLayout::kRuleOffset, kMin); },
       "bone 1's jiggle parameters lie outside the file"},
      {"rule offset of INT32_MAX", 48,
       [](BuiltModel& m) { putInt32(m.bytes, boneAt(m, 1) + BoneLayout::kRuleOffset, kMax); },
       "bone 1's jiggle parameters lie outside the file"},
      {"rule record ending exactly at the end", 48,
       [](BuiltModel& m) {
         m.bytes.resize(m.boneRules[2] + JiggleLayout::kSize);
         putInt32(m.bytes, HeaderLayout::kAnimCount, 0);
       },
       ""},
      {"name offset of INT32_MIN", 48,
       [](BuiltModel& m) { putInt32(m.bytes, boneAt(m, 2) + BoneLayout::kNameOffset, kMin); },
       "bone 2's name lies outside the file"},
      {"name starting at the end", 48,
       [](BuiltModel& m) {
         putInt32(m.bytes, boneAt(m, 2) + BoneLayout::kNameOffset,
                  static_cast<std::int32_t>(m.bytes.size() - boneAt(m, 2)));
       },
       "bone 2's name lies outside the file"},
      {"name without its NUL at the end", 48,
       [](BuiltModel& m) {
         m.bytes.push_back('x');
         putInt32(m.bytes, boneAt(m, 2) + BoneLayout::kNameOffset,
                  static_cast<std::int32_t>(m.bytes.size() - 1 - boneAt(m, 2)));
       },
       "bone 2's name runs past the end of the file"},
      {"name whose NUL is the last byte", 48,
       [](BuiltModel& m) {
         m.bytes.push_back('x');
         m.bytes.push_back(0);
         putInt32(m.bytes, boneAt(m, 2) + BoneLayout::kNameOffset,
                  static_cast<std::int32_t>(m.bytes.size() - 2 - boneAt(m, 2)));
       },
       ""},
      {"name longer than the limit", 48,
       [](BuiltModel& m) {
         const std::size_t at = m.bytes.size();
         m.bytes.resize(at + 4096 + 1, 'n');
         m.bytes.push_back(0);
         putInt32(m.bytes, boneAt(m, 1) + BoneLayout::kNameOffset,
                  static_cast<std::int32_t>(at - boneAt(m, 1)));
       },
       "bone 1's name is longer than 4096 characters"},
      {"name exactly at the limit", 48,
       [](BuiltModel& m) {
         const std::size_t at = m.bytes.size();
         m.bytes.resize(at + 4096, 'n');
         m.bytes.push_back(0);
         putInt32(m.bytes, boneAt(m, 1) + BoneLayout::kNameOffset,
                  static_cast<std::int32_t>(at - boneAt(m, 1)));
       },
       ""},
      {"bones that are not jiggle bones are not followed", 48,
       [](BuiltModel& m) {
         putInt32(m.bytes, boneAt(m, 0) + BoneLayout::kNameOffset, kMin);
         putInt32(m.bytes, boneAt(m, 3) + BoneLayout::kNameOffset, kMax);
       },
       ""},
  };
  for (const Case& c : cases) {
    BuiltModel model = sample(c.version);
    c.damage(model);
    EXPECT_EQ(damageOf(model.bytes), c.expected) << c.title;
  }
}

// Names and records first (negative offsets), the bone table last in the file.
TEST(ModelBounds, NegativeOffsetsAndABoneTableEndingTheFile) {
  ModelPlan plan = sampleModelPlan();
  plan.recordsBeforeBones = true;
  plan.descriptors.clear();
  std::vector<unsigned char> bytes = buildModel(plan).bytes;
  EXPECT_EQ(damageOf(bytes), "");
  bytes.pop_back();
  EXPECT_EQ(damageOf(bytes), "the bone table lies outside the file");
}

}  // namespace

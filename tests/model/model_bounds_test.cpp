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

std::size_t boneAt(const BuiltModel& m, std::size_t i) { return m.boneTable + i * BoneLayout::kSize; }

// One change made to the sample model; a case makes its changes in order.
using Change = std::function<void(BuiltModel&)>;

Change cut(std::size_t length) {
  return [=](BuiltModel& m) { m.bytes.resize(length); };
}
Change header(std::size_t field, std::int32_t value) {
  return [=](BuiltModel& m) { putInt32(m.bytes, field, value); };
}
Change bone(std::size_t i, std::size_t field, std::int32_t value) {
  return [=](BuiltModel& m) { putInt32(m.bytes, boneAt(m, i) + field, value); };
}
// The file cut `past` bytes beyond the end of bone `i`'s rule record (negative: before it).
Change cutAtRuleEnd(std::size_t i, int past) {
  return [=](BuiltModel& m) { m.bytes.resize(m.boneRules[i] + JiggleLayout::kSize + static_cast<std::size_t>(past)); };
}
// `name` appended to the file (with its NUL if asked) and bone `i`'s name pointed at it.
Change nameAtEnd(std::size_t i, const std::string& name, bool withNul) {
  return [=](BuiltModel& m) {
    const std::size_t at = m.bytes.size();
    m.bytes.insert(m.bytes.end(), name.begin(), name.end());
    if (withNul) m.bytes.push_back(0);
    putInt32(m.bytes, boneAt(m, i) + BoneLayout::kNameOffset, static_cast<std::int32_t>(at - boneAt(m, i)));
  };
}
Change modelName(std::size_t length) {
  return [=](BuiltModel& m) { std::fill_n(m.bytes.begin() + 12, length, 'a'); };
}

TEST(ModelBounds, FindsWhatLiesOutsideTheFile) {
  const char kDescriptors[] = "the animation descriptor table lies outside the file";
  const char kBoneTable[] = "the bone table lies outside the file";
  struct Case {
    const char* title;
    std::int32_t version;
    std::vector<Change> changes;
    const char* expected;  // empty: sound
    bool recordsFirst = false;  // names and records before the bone table, which ends the file
  } const cases[] = {
      {"sound", 48, {}, ""},
      {"header one byte short", 48, {cut(187)}, "the header lies outside the file"},
      {"header exactly long enough, no bones", 48, {cut(188), header(HeaderLayout::kBoneCount, 0)}, ""},
      {"retired word cut for version 46", 46,
       {cut(383), header(HeaderLayout::kBoneCount, 0), header(HeaderLayout::kAnimCount, 0)},
       "the header's retired word lies outside the file"},
      {"retired word not needed for version 47", 47,
       {cut(200), header(HeaderLayout::kBoneCount, 0), header(HeaderLayout::kAnimCount, 0)}, ""},
      {"name fills its field without a NUL", 48, {modelName(64)}, "the model name runs past the end of its field"},
      {"name of 63 characters and its NUL", 48, {modelName(63)}, ""},
      {"huge bone count", 48, {header(HeaderLayout::kBoneCount, kMax)}, kBoneTable},
      {"negative bone count is empty", 48, {header(HeaderLayout::kBoneCount, kMin)}, ""},
      {"bone table at INT32_MIN", 48, {header(HeaderLayout::kBoneTableOffset, kMin)}, kBoneTable},
      {"bone table at INT32_MAX", 48, {header(HeaderLayout::kBoneTableOffset, kMax)}, kBoneTable},
      {"bone table one byte past the end", 48,
       {[](BuiltModel& m) {
         putInt32(m.bytes, HeaderLayout::kBoneTableOffset,
                  static_cast<std::int32_t>(m.bytes.size() - 4 * BoneLayout::kSize + 1));
       }},
       kBoneTable},
      {"records first, bone table ending the file", 48, {}, "", true},
      {"records first, bone table one byte short", 48, {[](BuiltModel& m) { m.bytes.pop_back(); }}, kBoneTable, true},
      {"descriptor table past the end for version 45", 45, {header(HeaderLayout::kAnimCount, 2)}, kDescriptors},
      {"huge descriptor count for version 45", 45, {header(HeaderLayout::kAnimCount, kMax)}, kDescriptors},
      {"descriptor table ending exactly at the end for version 46", 46, {}, ""},
      {"descriptor table one byte past the end for version 47", 47, {[](BuiltModel& m) { m.bytes.pop_back(); }},
       kDescriptors},
      {"descriptor table at INT32_MAX for version 46", 46, {header(HeaderLayout::kAnimTableOffset, kMax)}, kDescriptors},
      {"descriptor table at INT32_MIN for version 47", 47, {header(HeaderLayout::kAnimTableOffset, kMin)}, kDescriptors},
      {"descriptor table is never touched for version 48", 48, {header(HeaderLayout::kAnimCount, kMax)}, ""},
      {"descriptor table is never touched for version 49", 49, {header(HeaderLayout::kAnimTableOffset, kMin)}, ""},
      {"rule record straddling the end", 48, {cutAtRuleEnd(2, -1)}, "bone 2's jiggle parameters lie outside the file"},
      {"rule offset of INT32_MIN", 48, {bone(1, BoneLayout::kRuleOffset, kMin)},
       "bone 1's jiggle parameters lie outside the file"},
      {"rule offset of INT32_MAX", 48, {bone(1, BoneLayout::kRuleOffset, kMax)},
       "bone 1's jiggle parameters lie outside the file"},
      {"rule record ending exactly at the end", 48, {cutAtRuleEnd(2, 0), header(HeaderLayout::kAnimCount, 0)}, ""},
      {"name offset of INT32_MIN", 48, {bone(2, BoneLayout::kNameOffset, kMin)}, "bone 2's name lies outside the file"},
      {"name starting at the end", 48, {nameAtEnd(2, "", false)}, "bone 2's name lies outside the file"},
      {"name without its NUL at the end", 48, {nameAtEnd(2, "x", false)},
       "bone 2's name runs past the end of the file"},
      {"name whose NUL is the last byte", 48, {nameAtEnd(2, "x", true)}, ""},
      {"name longer than the limit", 48, {nameAtEnd(1, std::string(4096 + 1, 'n'), true)},
       "bone 1's name is longer than 4096 characters"},
      {"name exactly at the limit", 48, {nameAtEnd(1, std::string(4096, 'n'), true)}, ""},
      {"bones that are not jiggle bones are not followed", 48,
       {bone(0, BoneLayout::kNameOffset, kMin), bone(3, BoneLayout::kNameOffset, kMax)}, ""},
  };
  for (const Case& c : cases) {
    ModelPlan plan = sampleModelPlan();
    plan.version = c.version;
    plan.recordsBeforeBones = c.recordsFirst;
    if (c.recordsFirst) plan.descriptors.clear();
    BuiltModel model = buildModel(plan);
    for (const Change& change : c.changes) change(model);
    EXPECT_EQ(damageOf(model.bytes), c.expected) << c.title;
  }
}

}  // namespace

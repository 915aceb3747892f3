#include "definitions/jiggle_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/support/in_memory.h"
#include "tests/support/test_files.h"
#include "tests/support/model_builder.h"

namespace {

RenderedText render(const ModelPlan& plan) {
  BuiltModel built = buildModel(plan);
  return renderedText(ModelImage{built.bytes.data(), built.bytes.size()});
}

// The sample's text and console lines, as documented for the model it holds.
const std::string kSampleText = readFixture("crate01_jiggles.qci");
const std::string kSampleBoneLines = [] {
  const std::string console = readFixture("crate01.stdout");
  return console.substr(0, console.rfind('\n', console.size() - 2) + 1);
}();

// Every value distinct, so a field read from the wrong offset shows.
JigglePlan distinctValues(std::uint32_t flags) {
  JigglePlan rule;
  rule.flags = flags;
  for (std::size_t field = 1; field < rule.values.size(); ++field) {
    rule.values[field] = static_cast<float>(field) + 0.25f;
  }
  return rule;
}

// The blocks of a bone of distinctValues, as the format's tables lay them out.
const std::string kLimits =
    "\t\tyaw_constraint 587 645\n\t\tyaw_friction 12.25\n\t\tangle_constraint 530\n"
    "\t\tpitch_constraint 816 874\n\t\tpitch_friction 16.25\n\t\tpitch_bounce 17.25\n";
const std::string kFlexible =
    "\tis_flexible {\n\t\tyaw_stiffness 3.25\n\t\tyaw_damping 4.25\n\t\tpitch_stiffness 5.25\n"
    "\t\tpitch_damping 6.25\n\t\talong_stiffness 7.25\n\t\talong_damping 8.25\n"
    "\t\tlength 1.25\n\t\ttip_mass 2.25\n" + kLimits + "\t}\n";
const std::string kRigid = "\tis_rigid {\n\t\tlength 1.25\n\t\ttip_mass 2.25\n" + kLimits + "\t}\n";
const std::string kSpring =
    "\n\thas_base_spring {\n\t\tbase_mass 18.25\n\t\tstiffness 19.25\n\t\tdamping 20.25\n"
    "\t\tleft_constraint 21.25 22.25\n\t\tleft_friction 23.25\n"
    "\t\tup_constraint 24.25 25.25\n\t\tup_friction 26.25\n"
    "\t\tforward_constraint 27.25 28.25\n\t\tforward_friction 29.25\n\t}\n";

TEST(JiggleText, FlagsSelectBlocksAndLines) {
  constexpr std::uint32_t kAllLimits = JiggleBit::kYawLimited | JiggleBit::kPitchLimited | JiggleBit::kAngleLimited;
  struct Case {
    std::uint32_t flags;
    std::string body;
    const char* console;
  } const cases[] = {
      {0, "", ""},
      {0x20 | 0x80 | 0xFFFFFF00u, "", ""},  // bits the tool does not examine
      {kAllLimits, "", ""},                      // limits without a tip block show nowhere
      {JiggleBit::kFlexibleTip | kAllLimits, kFlexible, "- is_flexible "},
      {JiggleBit::kRigidTip | kAllLimits, kRigid, "- is_rigid "},
      {JiggleBit::kFlexibleTip | JiggleBit::kRigidTip | JiggleBit::kBaseSpring | kAllLimits, kFlexible + kRigid + kSpring,
       "- is_flexible - is_rigid - has_base_spring "},
      {JiggleBit::kBaseSpring, kSpring, "- has_base_spring "},
      {JiggleBit::kRigidTip | JiggleBit::kYawLimited, "\tis_rigid {\n\t\tlength 1.25\n\t\ttip_mass 2.25\n"
                              "\t\tyaw_constraint 587 645\n\t\tyaw_friction 12.25\n\t}\n",
       "- is_rigid "},
      {JiggleBit::kRigidTip | JiggleBit::kAngleLimited,
       "\tis_rigid {\n\t\tlength 1.25\n\t\ttip_mass 2.25\n\t\tangle_constraint 530\n\t}\n",
       "- is_rigid "},
  };
  for (const Case& c : cases) {
    ModelPlan plan;
    plan.bones.push_back(jiggleBone("b", distinctValues(c.flags)));
    const RenderedText out = render(plan);
    EXPECT_EQ(out.file, "$jigglebone \"b\" {\n" + c.body + "}\n\n") << std::hex << c.flags;
    EXPECT_EQ(out.console, std::string("Jigglebone: b ") + c.console + "\n") << std::hex << c.flags;
  }
}

// The apply step steps over a block written back unedited by these counts, not by its text.
TEST(JiggleText, LineCountsFollowTheLayoutForEveryFlagCombination) {
  for (std::uint32_t flags = 0; flags < 0x80; ++flags) {
    ModelPlan plan;
    plan.bones.push_back(jiggleBone("b", distinctValues(flags)));
    const std::string text = render(plan).file;
    const auto lineEnds = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    EXPECT_EQ(jiggleBoneRestLines(flags), lineEnds - 2) << std::hex << flags;  // less the block's own two
  }
}

// Only jiggle bones show, each under its name as stored, wherever its records lie.
TEST(JiggleText, RendersEveryJiggleBoneAndNothingElse) {
  ModelPlan recordsFirst = sampleModelPlan();
  recordsFirst.recordsBeforeBones = true;
  ModelPlan others;
  others.bones = {BonePlan{"rule_type_only", kJiggleRuleValue, std::nullopt}, BonePlan{"other_rule", 2, JigglePlan{}},
                  jiggleBone("only", JigglePlan{}), BonePlan{"plain", 0, std::nullopt}};
  ModelPlan quoted;
  quoted.bones = {jiggleBone("a \"quoted\" \\ name", JigglePlan{})};
  struct Case {
    const char* title;
    ModelPlan plan;
    std::string file;
    std::string console;
  } const cases[] = {
      {"the sample", sampleModelPlan(), kSampleText, kSampleBoneLines},
      {"records before the bone table", recordsFirst, kSampleText, kSampleBoneLines},
      {"bones of other kinds", others, "$jigglebone \"only\" {\n}\n\n", "Jigglebone: only \n"},
      {"a name copied unchanged", quoted, "$jigglebone \"a \"quoted\" \\ name\" {\n}\n\n",
       "Jigglebone: a \"quoted\" \\ name \n"},
  };
  for (const Case& c : cases) {
    const RenderedText out = render(c.plan);
    EXPECT_EQ(out.file, c.file) << c.title;
    EXPECT_EQ(out.console, c.console) << c.title;
  }
}

TEST(JiggleText, OutputLongerThanTheSinkBufferArrivesWhole) {
  ModelPlan plan;
  for (int i = 0; i < 400; ++i) {
    plan.bones.push_back(jiggleBone("bone" + std::to_string(i), distinctValues(0x5F)));
  }
  const RenderedText out = render(plan);
  ASSERT_GT(out.file.size(), 4 * sizeof(ByteSink{}.buffer));
  std::string expected;
  for (int i = 0; i < 400; ++i) {
    expected += "$jigglebone \"bone" + std::to_string(i) + "\" {\n" + kFlexible + kRigid + kSpring + "}\n\n";
  }
  EXPECT_EQ(out.file, expected);
}

}  // namespace

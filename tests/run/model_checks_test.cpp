#include "run/model_checks.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/in_memory.h"
#include "tests/support/model_builder.h"

namespace {

// The checks as a dump runs them on "m.mdl", with the console's lines they give.
TEST(ModelChecks, RefusesInTheDriversOrderWithTheirWords) {
  ModelPlan noJiggle = sampleModelPlan();
  noJiggle.bones.resize(1);
  ModelPlan old = sampleModelPlan();
  old.version = 44;
  std::vector<unsigned char> oldAndShort = buildModel(old).bytes;
  oldAndShort.resize(8);
  ModelPlan badName = sampleModelPlan();
  badName.name = "c:crate.mdl";
  ModelPlan badNameNoJiggle = noJiggle;
  badNameNoJiggle.name = badName.name;
  std::vector<unsigned char> wrongMagicDamaged = buildModel(sampleModelPlan()).bytes;
  wrongMagicDamaged[0] = 'X';
  putInt32(wrongMagicDamaged, HeaderLayout::kBoneCount, 0x7FFFFFFF);
  ModelPlan negative = sampleModelPlan();
  negative.version = -3;
  // A bone laid over the header where the retired word ends: clearing that word for an old
  // version turns its negative rule offset into a huge positive one, to be checked again.
  ModelPlan older = sampleModelPlan();
  older.version = 46;
  BuiltModel overHeader = buildModel(older);
  constexpr std::size_t kBone = HeaderLayout::kRetiredWord - (BoneLayout::kRuleOffset + 3);
  putInt32(overHeader.bytes, HeaderLayout::kBoneTableOffset, static_cast<std::int32_t>(kBone));
  putInt32(overHeader.bytes, HeaderLayout::kBoneCount, 1);
  putInt32(overHeader.bytes, kBone + BoneLayout::kNameOffset,
           static_cast<std::int32_t>(overHeader.boneNames[1]) - static_cast<std::int32_t>(kBone));
  putInt32(overHeader.bytes, kBone + BoneLayout::kRuleType, kJiggleRuleValue);
  putInt32(overHeader.bytes, kBone + BoneLayout::kRuleOffset, -100);
  ASSERT_EQ(overHeader.bytes[HeaderLayout::kRetiredWord], 0xFF);

  struct Case {
    const char* title;
    std::vector<unsigned char> bytes;
    int status;
    const char* message;
  } const cases[] = {
      {"empty", {}, 3, "m.mdl is not a studio model!\n"},
      {"three bytes", {'I', 'D', 'S'}, 3, "m.mdl is not a studio model!\n"},
      {"magic only", {'I', 'D', 'S', 'T'}, 7, "m.mdl is damaged: the header lies outside the file\n"},
      {"seven bytes", {'I', 'D', 'S', 'T', 0x30, 0, 0}, 7, "m.mdl is damaged: the header lies outside the file\n"},
      {"wrong magic before damage", wrongMagicDamaged, 3, "m.mdl is not a studio model!\n"},
      {"old version before the short header", oldAndShort, 4,
       "Version 44 models do not have jigglebone data, exiting..\n"},
      {"no jiggle bones", buildModel(noJiggle).bytes, 5, "No bones contain jiggle info, exiting..\n"},
      {"unusable output name", buildModel(badName).bytes, 7,
       "m.mdl is damaged: its stored name gives an unusable output file name\n"},
      {"unusable output name before no jiggle bones", buildModel(badNameNoJiggle).bytes, 7,
       "m.mdl is damaged: its stored name gives an unusable output file name\n"},
      {"sound", buildModel(sampleModelPlan()).bytes, 0, "Wrote crate01_jiggles.qci\n"},
      {"the stored version reported", buildModel(negative).bytes, 4,
       "Version -3 models do not have jigglebone data, exiting..\n"},
      {"checked again after normalisation", overHeader.bytes, 7,
       "m.mdl is damaged: bone 0's jiggle parameters lie outside the file\n"},
  };
  for (const Case& c : cases) {
    const DumpedModel result = dumpInMemory(c.bytes);
    EXPECT_EQ(result.status, c.status) << c.title;
    EXPECT_EQ(result.console.substr(result.console.find(c.status == 0 ? "Wrote" : "")), c.message) << c.title;
  }
}

TEST(ModelChecks, NormalisesAcceptedImages) {
  ModelPlan plan = sampleModelPlan();
  plan.version = 45;
  std::vector<unsigned char> bytes = buildModel(plan).bytes;
  ModelImage image{bytes.data(), bytes.size()};
  ASSERT_EQ(checkLoadedModel(image).outcome, RunOutcome::Written);
  EXPECT_EQ(modelVersion(image), 48);
}

}  // namespace

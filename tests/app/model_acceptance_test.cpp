#include "app/model_acceptance.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/support/model_builder.h"

namespace {

ModelAssessment assess(std::vector<unsigned char> bytes) {
  ModelImage image{bytes.data(), bytes.size()};
  return assessModelImage(image);
}

std::vector<unsigned char> bytesFrom(const char* text, std::size_t length) {
  return std::vector<unsigned char>(text, text + length);
}

TEST(ModelAcceptance, RefusesInTheDriversOrder) {
  ModelSpec noJiggle = sampleModelSpec();
  noJiggle.bones.resize(1);
  ModelSpec old = sampleModelSpec();
  old.version = 44;
  std::vector<unsigned char> oldAndShort = buildModel(old).bytes;
  oldAndShort.resize(8);
  ModelSpec badName = sampleModelSpec();
  badName.name = "c:crate.mdl";
  std::vector<unsigned char> wrongMagicDamaged = buildModel(sampleModelSpec()).bytes;
  wrongMagicDamaged[0] = 'X';
  putInt32(wrongMagicDamaged, ModelHeader::kBoneCount, 0x7FFFFFFF);

  struct Case {
    const char* title;
    std::vector<unsigned char> bytes;
    ModelVerdict verdict;
  } const cases[] = {
      {"empty", {}, ModelVerdict::NotStudioModel},
      {"three bytes", bytesFrom("IDS", 3), ModelVerdict::NotStudioModel},
      {"magic only", bytesFrom("IDST", 4), ModelVerdict::Damaged},
      {"seven bytes", bytesFrom("IDST\x30\0\0", 7), ModelVerdict::Damaged},
      {"wrong magic before damage", wrongMagicDamaged, ModelVerdict::NotStudioModel},
      {"old version before the short header", oldAndShort, ModelVerdict::OldVersion},
      {"no jiggle bones", buildModel(noJiggle).bytes, ModelVerdict::NoJiggleBones},
      {"unusable output name", buildModel(badName).bytes, ModelVerdict::Damaged},
      {"sound", buildModel(sampleModelSpec()).bytes, ModelVerdict::Accepted},
  };
  for (const Case& c : cases) EXPECT_EQ(assess(c.bytes).verdict, c.verdict) << c.title;
}

TEST(ModelAcceptance, ReportsTheStoredVersion) {
  ModelSpec plan = sampleModelSpec();
  plan.version = -3;
  EXPECT_EQ(assess(buildModel(plan).bytes).version, -3);
}

TEST(ModelAcceptance, NormalisesAcceptedImages) {
  ModelSpec plan = sampleModelSpec();
  plan.version = 45;
  std::vector<unsigned char> bytes = buildModel(plan).bytes;
  ModelImage image{bytes.data(), bytes.size()};
  ASSERT_EQ(assessModelImage(image).verdict, ModelVerdict::Accepted);
  EXPECT_EQ(modelVersion(image), kCurrentVersion);
}

// A bone laid over the header where the retired word ends: clearing that word for an old
// version turns its negative rule offset into a huge positive one.
TEST(ModelAcceptance, ChecksAgainWhatNormalisationRewrote) {
  ModelSpec plan = sampleModelSpec();
  plan.version = 46;
  BuiltModel built = buildModel(plan);
  constexpr std::size_t kBone = ModelHeader::kRetiredWord - (BoneRecord::kRuleOffset + 3);
  putInt32(built.bytes, ModelHeader::kBoneTableOffset, static_cast<std::int32_t>(kBone));
  putInt32(built.bytes, ModelHeader::kBoneCount, 1);
  putInt32(built.bytes, kBone + BoneRecord::kNameOffset,
           static_cast<std::int32_t>(built.boneNames[1]) - static_cast<std::int32_t>(kBone));
  putInt32(built.bytes, kBone + BoneRecord::kRuleType, kJiggleRuleType);
  putInt32(built.bytes, kBone + BoneRecord::kRuleOffset, -100);
  ASSERT_EQ(built.bytes[ModelHeader::kRetiredWord], 0xFF);

  const ModelAssessment assessment = assess(built.bytes);
  EXPECT_EQ(assessment.verdict, ModelVerdict::Damaged);
  EXPECT_STREQ(assessment.damage.what, "bone 0's jiggle parameters lie outside the file");
}

}  // namespace

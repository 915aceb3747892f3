#include "model/model_image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "model/byte_order.h"
#include "model/jiggle_bone.h"
#include "tests/support/model_builder.h"

namespace {

TEST(ByteOrder, AssemblesLittleEndianAtAnyAlignment) {
  const unsigned char bytes[] = {0x00, 0x78, 0x56, 0x34, 0x12, 0xFE, 0xFF,
                                 0xFF, 0xFF, 0x00, 0x00, 0x80, 0xBF};
  EXPECT_EQ(readUint32LE(bytes + 1), 0x12345678u);  // odd addresses throughout
  EXPECT_EQ(readInt32LE(bytes + 5), -2);
  EXPECT_EQ(readFloat32LE(bytes + 9), -1.0f);

  unsigned char out[7] = {};
  writeInt32LE(out + 1, -2);
  writeInt16LE(out + 5, -3);
  const unsigned char expected[] = {0x00, 0xFE, 0xFF, 0xFF, 0xFF, 0xFD, 0xFF};
  EXPECT_EQ(0, std::memcmp(out, expected, sizeof out));
}

TEST(ModelImage, HeaderAndRecordAccessorsFollowTheLayout) {
  ModelPlan plan = sampleModelPlan();
  plan.recordsBeforeBones = true;  // negative name and rule offsets
  BuiltModel built = buildModel(plan);
  const ModelImage image{built.bytes.data(), built.bytes.size()};

  EXPECT_TRUE(startsAsStudioModel(image.bytes, image.size));
  EXPECT_EQ(modelVersion(image), 48);
  EXPECT_STREQ(modelName(image), "props/crate01.mdl");
  ASSERT_EQ(boneCount(image), 4);
  EXPECT_EQ(boneTableOffset(image), static_cast<std::int32_t>(built.boneTable));
  EXPECT_EQ(animCount(image), 1);

  const unsigned char* tail = boneRecord(image, 1);
  EXPECT_EQ(tail, image.bytes + built.boneTable + BoneLayout::kSize);
  EXPECT_LT(readInt32LE(tail + BoneLayout::kRuleOffset), 0);
  EXPECT_STREQ(boneName(tail), "tail_1");
  EXPECT_EQ(jiggleParams(tail), image.bytes + built.boneRules[1]);
  JiggleBone decoded;
  decodeJiggleBone(image, tail, decoded);
  EXPECT_EQ(std::string(decoded.name, decoded.nameLength), "tail_1");
  EXPECT_EQ(decoded.record, built.boneRules[1]);
  EXPECT_EQ(jiggleFlags(decoded), JiggleBit::kFlexibleTip | JiggleBit::kYawLimited | JiggleBit::kAngleLimited);
  EXPECT_EQ(jiggleValue(decoded, JiggleLayout::kTipMass), 0.5f);
  decodeJiggleBone(image, boneRecord(image, 2), decoded);
  EXPECT_EQ(jiggleValue(decoded, JiggleLayout::kForwardFriction), 0.1f);
}

TEST(ModelImage, IsJiggleBoneNeedsTheRuleTypeAndARecord) {
  struct Case {
    std::int32_t ruleType;
    std::int32_t ruleOffset;
    bool jiggle;
  } const cases[] = {
      {5, 216, true}, {5, -40, true}, {5, 0, false}, {4, 216, false}, {0, 0, false}, {-5, 8, false},
  };
  for (const Case& c : cases) {
    unsigned char bone[BoneLayout::kSize] = {};
    writeInt32LE(bone + BoneLayout::kRuleType, c.ruleType);
    writeInt32LE(bone + BoneLayout::kRuleOffset, c.ruleOffset);
    EXPECT_EQ(isJiggleBone(bone), c.jiggle) << c.ruleType << " " << c.ruleOffset;
  }
}

}  // namespace

// The skeleton's .glb, read back by hand: its chunks, its nodes and their places, the
// turn from Z up to Y up, an inverse bind matrix and the drawn shapes, checked against
// values worked out on paper.
#include "skeleton/skeleton_glb.h"

#include <gtest/gtest.h>

#include <bit>
#include <limits>
#include <string>
#include <vector>

#include "skeleton/json_text.h"
#include "tests/support/in_memory.h"
#include "tests/support/model_builder.h"

namespace {

std::uint32_t word(const std::vector<unsigned char>& bytes, std::size_t at) {
  return static_cast<std::uint32_t>(getInt32(bytes, at));
}

float floatAt(const std::vector<unsigned char>& bytes, std::size_t at) {
  return std::bit_cast<float>(word(bytes, at));
}

struct Glb {
  bool written = false;
  std::string json;
  std::vector<unsigned char> bin;
};

// The .glb of a built model, its two chunks taken apart by their lengths.
Glb glbOf(const std::vector<unsigned char>& model, FailingMemory* failing = nullptr) {
  const ModelImage image{const_cast<unsigned char*>(model.data()), model.size()};
  const auto count = static_cast<std::size_t>(skeletonBoneCount(image));
  std::vector<SkeletonBone> bones(count);
  std::vector<JiggleBone> decoded(count);
  std::vector<BoneDetails> details(count);
  SkeletonFault fault;
  EXPECT_TRUE(readSkeleton(image, bones.data(), fault));
  gatherBoneDetails(image, static_cast<std::int32_t>(count), decoded.data(), details.data());
  const MemoryHook memory = failing != nullptr ? failingMemoryHook(*failing) : MemoryHook{};
  GlbBytes glb;
  Glb out;
  out.written = writeSkeletonGlb(bones.data(), static_cast<std::int32_t>(count), details.data(), memory, glb, fault);
  if (!out.written) return out;
  const std::vector<unsigned char> bytes(glb.bytes, glb.bytes + glb.size);
  freeWith(memory, glb.bytes);
  // The frame's other fields are checked for any input by the fuzz target's properties.
  const std::size_t jsonLength = word(bytes, 12);
  out.json.assign(bytes.begin() + 20, bytes.begin() + 20 + static_cast<std::ptrdiff_t>(jsonLength));
  out.bin.assign(bytes.begin() + 28 + static_cast<std::ptrdiff_t>(jsonLength), bytes.end());
  return out;
}

// The number after the n-th `key` following `from` in the JSON.
std::size_t numberAfter(const std::string& json, const std::string& from, const std::string& key, int n) {
  std::size_t at = json.find(from);
  for (int i = 0; i <= n && at != std::string::npos; ++i) at = json.find(key, at + 1);
  return at == std::string::npos ? 0 : std::stoul(json.substr(at + key.size()));
}

// The sample's bones: root at (1, 2, 3) with the stored matrix 1..12, tail_1 4 up from it
// (its rotation stored at twice unit length), tail_2 half a unit along tail_1's X turned
// about Z, and tail_tip 5 along the root's Y, its name put out of the file.
std::vector<unsigned char> handWorkedModel() {
  ModelPlan plan = sampleModelPlan();
  plan.bones[0].parent = -1;
  plan.bones[0].position = std::array<float, 3>{1, 2, 3};
  plan.bones[0].rotation = std::array<float, 4>{0, 0, 0, 1};
  plan.bones[0].inverseWorld = std::array<float, 12>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  plan.bones[1].parent = 0;
  plan.bones[1].position = std::array<float, 3>{0, 0, 4};
  plan.bones[1].rotation = std::array<float, 4>{0, 0, 0, 2};
  plan.bones[2].parent = 1;
  plan.bones[2].position = std::array<float, 3>{0.5f, 0, 0};
  plan.bones[2].rotation = std::array<float, 4>{0, 0, 0.6f, 0.8f};
  plan.bones[2].rule->set(JiggleLayout::kTipMass, std::numeric_limits<float>::quiet_NaN());
  plan.bones[3].parent = 0;
  plan.bones[3].position = std::array<float, 3>{0, 5, 0};
  plan.bones[3].rotation = std::array<float, 4>{0, 0, 0, 1};
  BuiltModel model = buildModel(plan);
  putInt32(model.bytes, model.boneTable + 3 * BoneLayout::kSize + BoneLayout::kNameOffset,
           std::numeric_limits<std::int32_t>::min());
  return model.bytes;
}

TEST(SkeletonGlb, ASmallModelByHand) {
  const Glb glb = glbOf(handWorkedModel());
  ASSERT_TRUE(glb.written);
  const std::string nodes[] = {
      // A root turned -90 degrees about X: (x, y, z) to (x, z, -y).
      R"({"name":"root","children":[1,3],"translation":[1,3,-2],"rotation":[-0.70710677,0,0,0.70710677]},)",
      // Unturned bones carry no rotation, as glTF's default is none.
      R"({"name":"tail_1","children":[2],"translation":[0,0,4],"extras":{"jigglebone":)"
      R"({"is_flexible":{"yaw_stiffness":100,"yaw_damping":5,"pitch_stiffness":100,"pitch_damping":5,)"
      R"("along_stiffness":50,"along_damping":2,"length":12,"tip_mass":0.5,"yaw_constraint":[-30,30],)"
      R"("yaw_friction":1,"angle_constraint":45}}}},)",
      R"({"name":"tail_2","translation":[0.5,0,0],"rotation":[0,0,0.6,0.8],"extras":{"jigglebone":)"
      R"({"is_rigid":{"length":8,"tip_mass":null,"pitch_constraint":[-20,20],"pitch_friction":0.5,)"
      R"("pitch_bounce":0.1},"has_base_spring":{"base_mass":2,"stiffness":300,"damping":10,)"
      R"("left_constraint":[-1.5,1.5],"left_friction":0.2,"up_constraint":[-2,2],"up_friction":0.3,)"
      R"("forward_constraint":[-0.5,0.5],"forward_friction":0.1}}}},)",
      R"({"name":"bone 3","translation":[0,5,0]},)",
      R"({"name":"skeleton","children":[0]},{"name":"bone shapes","mesh":0,"skin":0}])",
      R"("scenes":[{"nodes":[4,5]}])",
      R"("skins":[{"inverseBindMatrices":3,"skeleton":4,"joints":[0,1,2,3]}])",
      R"("asset":{"generator":"sproing_sweep","version":"2.0"})",
  };
  for (const std::string& node : nodes) EXPECT_NE(glb.json.find(node), std::string::npos) << node << "\n" << glb.json;

  // Bone 0's inverse bind matrix: its stored 3x4 rows (1 2 3 4 / 5 6 7 8 / 9 10 11 12)
  // after the turn back to Z up, (x, y, z) from (x, -z, y): columns 0, 2, -1 and 3.
  const std::size_t binds = numberAfter(glb.json, "\"bufferViews\"", "\"byteOffset\":", 3);
  const float expected[16] = {1, 5, 9, 0, 3, 7, 11, 0, -2, -6, -10, 0, 4, 8, 12, 1};
  for (std::size_t k = 0; k < 16; ++k) EXPECT_EQ(floatAt(glb.bin, binds + 4 * k), expected[k]) << k;

  // Bone 3's shape in Y up: its place (1, 7, 3) and its tip, a leaf's: along +Z, where
  // as many bones point as along +X, half its parent's length (4).
  const float place[3] = {1, 3, -7}, tip[3] = {1, 5, -7};
  for (std::size_t k = 0; k < 3; ++k) {
    EXPECT_EQ(floatAt(glb.bin, (3 * 6 + 0) * 12 + 4 * k), place[k]) << k;
    EXPECT_EQ(floatAt(glb.bin, (3 * 6 + 5) * 12 + 4 * k), tip[k]) << k;
  }
}

TEST(SkeletonGlb, ThreeRootsUnderOneNode) {
  ModelPlan plan = sampleModelPlan();
  const std::int32_t parents[] = {-1, -1, 0, -1};
  for (std::size_t i = 0; i < plan.bones.size(); ++i) {
    plan.bones[i].parent = parents[i];
    plan.bones[i].position = std::array<float, 3>{0, 2, 0};
    plan.bones[i].rotation = std::array<float, 4>{0, 0, 0, 1};
  }
  const Glb glb = glbOf(buildModel(plan).bytes);
  ASSERT_TRUE(glb.written);
  EXPECT_NE(glb.json.find(R"({"name":"root","children":[2],"translation":[0,0,-2])"), std::string::npos);
  EXPECT_NE(glb.json.find(R"({"name":"tail_1","translation":[0,0,-2])"), std::string::npos);
  EXPECT_NE(glb.json.find(R"({"name":"skeleton","children":[0,1,3]})"), std::string::npos) << glb.json;
}

TEST(SkeletonGlb, OverTwoHundredFiftySixBonesJointsTakeSixteenBits) {
  ModelPlan plan = sampleModelPlan();
  while (plan.bones.size() < 300) {
    BonePlan bone;
    bone.name = "b";  // not "b" + to_string: g++ 12 at -O3 warns falsely of an overlap there
    bone.name += std::to_string(plan.bones.size());
    bone.parent = static_cast<std::int32_t>(plan.bones.size()) - 1;
    bone.position = std::array<float, 3>{0, 0, 1};
    bone.rotation = std::array<float, 4>{0, 0, 0, 1};
    plan.bones.push_back(bone);
  }
  plan.bones[0].parent = -1;
  for (std::size_t i = 1; i < 4; ++i) plan.bones[i].parent = static_cast<std::int32_t>(i) - 1;
  const Glb glb = glbOf(buildModel(plan).bytes);
  ASSERT_TRUE(glb.written);
  // JOINTS_0 (accessor 1) in unsigned shorts, 4 a vertex: bone 299's six vertices name it.
  EXPECT_EQ(numberAfter(glb.json, "\"accessors\"", "\"componentType\":", 1), 5123u);
  const std::size_t joints = numberAfter(glb.json, "\"bufferViews\"", "\"byteOffset\":", 1);
  for (std::size_t v = 299 * 6; v < 300 * 6; ++v) {
    EXPECT_EQ(glb.bin[joints + 8 * v] | glb.bin[joints + 8 * v + 1] << 8, 299) << v;
  }
}

TEST(SkeletonGlb, EachAllocationFailedInTurnLeavesNothing) {
  const std::vector<unsigned char> model = handWorkedModel();
  FailingMemory counting;
  ASSERT_TRUE(glbOf(model, &counting).written);
  ASSERT_GE(counting.asked, 3u);
  for (std::size_t n = 1; n <= counting.asked; ++n) {
    FailingMemory failing{n};
    EXPECT_FALSE(glbOf(model, &failing).written) << n;
    EXPECT_EQ(failing.held, 0u) << n;
  }
}

TEST(SkeletonGlb, NamesAsUtf8OrWindows1252) {
  struct Case {
    const char* title;
    std::string stored;
    const char* json;
  };
  const Case cases[] = {
      {"UTF-8 kept", "\xc3\xa9t\xc3\xa9 \xf0\x9f\x98\x80", "\"\xc3\xa9t\xc3\xa9 \xf0\x9f\x98\x80\""},
      {"byte order mark dropped", "\xef\xbb\xbfhip", "\"hip\""},
      {"escapes", "a\"b\\c\x01\x1f\x7f", "\"a\\\"b\\\\c\\u0001\\u001f\x7f\""},
      // 0x80 euro, 0x81 undefined: itself, 0x9F Y diaeresis, 0xE9 e acute.
      {"Windows-1252", "\x80\x81\x9f\xe9", "\"\xe2\x82\xac\xc2\x81\xc5\xb8\xc3\xa9\""},
      {"surrogate", "\xed\xa0\x80", "\"\xc3\xad\xc2\xa0\xe2\x82\xac\""},
      {"cut short", "\xe2\x82", "\"\xc3\xa2\xe2\x80\x9a\""},
      {"byte order mark in Windows-1252", "\xef\xbb\xbf\xff", "\"\xc3\xaf\xc2\xbb\xc2\xbf\xc3\xbf\""},
  };
  for (const Case& c : cases) {
    KeptBytes json;
    const MemoryHook memory;
    json.memory = memory;
    appendJsonName(json, c.stored.data(), c.stored.size());
    EXPECT_EQ(std::string(reinterpret_cast<char*>(json.bytes), json.size), c.json) << c.title;
    releaseBytes(json);
  }
}

}  // namespace

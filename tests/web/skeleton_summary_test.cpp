// The page's skeleton records for the sample model, worked out by hand.
// Read through the module, as the page reads them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/support/model_builder.h"
#include "web/web_entry.h"

namespace {

// The module's texts of a dump of `bytes`: the skeleton's records, and why there are none.
struct Skeleton {
  std::string records;
  std::string message;
};

Skeleton dumped(const std::vector<unsigned char>& bytes) {
  unsigned char* handed = sproingAllocate(bytes.size());
  std::memcpy(handed, bytes.data(), bytes.size());
  EXPECT_EQ(sproingDump(handed, bytes.size(), "m.mdl"), 0);
  return {std::string(sproingText(kSproingSkeleton), sproingTextLength(kSproingSkeleton)),
          std::string(sproingText(kSproingSkeletonMessage), sproingTextLength(kSproingSkeletonMessage))};
}

TEST(SkeletonSummary, OneRecordPerBone) {
  ModelPlan plan = sampleModelPlan();
  const std::int32_t parents[] = {-1, 0, 1, 0};
  const std::array<float, 3> positions[] = {{1, 2, 3}, {0, 0, 4}, {0.5f, 0, 0}, {0, 5, 0}};
  const std::array<float, 4> rotations[] = {{0, 0, 0, 2}, {0, 0, 0.6f, 0.8f}, {0, 0, 0, 1}, {0, 0, 0, 1}};
  for (std::size_t i = 0; i < 4; ++i) {
    plan.bones[i].parent = parents[i];
    plan.bones[i].position = positions[i];
    plan.bones[i].rotation = rotations[i];
  }
  BuiltModel model = buildModel(plan);
  std::vector<unsigned char>& bytes = model.bytes;
  const Skeleton sound = dumped(bytes);
  // tail_2, a rigid leaf, reaches its tip's length 8 along +X, as tail_1 points; tail_tip,
  // a plain leaf, half the root's 4 along +Z, which as many bones with a child point
  // along as along +X.
  EXPECT_EQ(sound.message, "");
  EXPECT_EQ(sound.records,
            "root\x1f-1\x1fplain\x1f" "1 2 3\x1f" "0 0 0 1\x1f" "0 0 1\x1f" "4\x1f-1\x1e"
            "tail_1\x1f" "0\x1f" "flexible\x1f" "0 0 4\x1f" "0 0 0.6 0.8\x1f" "1 0 0\x1f" "0.5\x1f" "0\x1e"
            "tail_2\x1f" "1\x1f" "rigid\x1f" "0.5 0 0\x1f" "0 0 0 1\x1f" "1 0 0\x1f" "8\x1f" "1\x1e"
            "tail_tip\x1f" "0\x1f" "plain\x1f" "0 5 0\x1f" "0 0 0 1\x1f" "0 0 1\x1f" "2\x1f-1\x1e");

  putInt32(bytes, model.boneTable + 3 * BoneLayout::kSize + BoneLayout::kParent, 3);
  const Skeleton faulty = dumped(bytes);
  EXPECT_EQ(faulty.message, "bone 3's parent (3) does not come before it");
  EXPECT_EQ(faulty.records, "");
}

}  // namespace

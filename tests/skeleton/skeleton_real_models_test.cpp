// Real models' skeletons against what they store and what an independent reading of them
// found (../shared/realworld/mNN.skeleton.tsv): the chain of local places must give back
// each bone's stored inverse world matrix and its world position.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "model/skeleton_bones.h"
#include "skeleton/world_frames.h"
#include "tests/support/real_models.h"

namespace {

// Each bone's parent and world position, as the independent reading found them.
std::vector<std::array<double, 4>> readSkeletonTable(const std::string& path) {
  std::vector<std::array<double, 4>> rows;
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);  // column names
  for (double bone = 0; std::getline(in, line);) {
    std::array<double, 4> row{};
    std::istringstream(line) >> bone >> row[0] >> row[1] >> row[2] >> row[3];
    rows.push_back(row);
  }
  return rows;
}

TEST(SkeletonRealModels, ChainBackToTheirStoredMatricesAndIndependentPositions) {
  const std::string source = SPROING_REALWORLD_DIR;
  if (!std::filesystem::exists(source + "/manifest.tsv")) {
    const char* ci = std::getenv("CI");
    if (ci != nullptr && std::string(ci) == "true") FAIL() << "real models missing: " << source;
    GTEST_SKIP() << "real models not found at " << source;
  }
  for (const RealModel& m : readRealModels(source)) {
    std::ifstream in(source + "/" + m.model, std::ios::binary);
    std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const ModelImage image{bytes.data(), bytes.size()};
    std::vector<SkeletonBone> bones(static_cast<std::size_t>(skeletonBoneCount(image)));
    std::vector<WorldFrame> frames(bones.size());
    SkeletonFault fault;
    // Reading checks each parent comes before its bone.
    ASSERT_TRUE(readSkeleton(image, bones.data(), fault)) << m.model << " bone " << fault.bone;
    ASSERT_FALSE(bones.empty()) << m.model;
    const auto count = static_cast<std::int32_t>(bones.size());
    ASSERT_TRUE(chainWorldFrames(bones.data(), count, frames.data(), fault)) << m.model;

    for (std::size_t i = 0; i < bones.size(); ++i) {
      // The inverse of rotation R and origin o: R transposed, and -R^T o.
      const WorldFrame& f = frames[i];
      for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
          EXPECT_NEAR(f.rotation[3 * c + r], bones[i].inverseWorld[4 * r + c], 1e-3) << m.model << " bone " << i;
        }
        const double moved = -(f.rotation[r] * f.origin[0] + f.rotation[3 + r] * f.origin[1] +
                               f.rotation[6 + r] * f.origin[2]);
        EXPECT_NEAR(moved, bones[i].inverseWorld[4 * r + 3], 1e-3) << m.model << " bone " << i;
      }
    }

    const std::string stem = m.model.substr(0, m.model.size() - 4);
    if (!std::filesystem::exists(source + "/" + stem + ".skeleton.tsv")) continue;
    const auto expected = readSkeletonTable(source + "/" + stem + ".skeleton.tsv");
    ASSERT_EQ(expected.size(), bones.size()) << m.model;
    for (std::size_t i = 0; i < bones.size(); ++i) {
      const auto& [parent, x, y, z] = expected[i];
      EXPECT_EQ(bones[i].parent, parent) << m.model << " bone " << i;
      // Six significant digits of the position's size.
      const double tolerance = 1e-5 * std::fmax(1.0, std::sqrt(x * x + y * y + z * z));
      for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(frames[i].origin[k], expected[i][static_cast<std::size_t>(k) + 1], tolerance)
            << m.model << " bone " << i << " axis " << k;
      }
    }
  }
}

}  // namespace

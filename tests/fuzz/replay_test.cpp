// Every seed and every input the fuzzer ever found, replayed through the same property
// checks as the fuzz target, so that a fixed fault stays fixed.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "tests/fuzz/apply_properties.h"
#include "tests/fuzz/model_properties.h"
#include "tests/support/program_runner.h"

namespace {

// Replays every input in the folder; returns their names. A missing folder replays nothing
// and must fail, not pass.
using PropertyCheck = std::string (*)(const unsigned char*, std::size_t);

std::set<std::string> replayFolder(const std::string& folder, PropertyCheck check = findPropertyViolation) {
  std::set<std::string> replayed;
  EXPECT_TRUE(std::filesystem::is_directory(folder)) << folder;
  if (!std::filesystem::is_directory(folder)) return replayed;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (!entry.is_regular_file() || entry.path().filename() == "README.md") continue;
    const std::string bytes = readFile(entry.path().string());
    EXPECT_EQ(check(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()), "")
        << entry.path();
    replayed.insert(entry.path().filename().string());
  }
  return replayed;
}

TEST(FuzzReplay, SeedCorpus) {
  EXPECT_GE(replayFolder(SPROING_FUZZ_DIR "/corpus").size(), 80U);
}

TEST(FuzzReplay, InputsTheFuzzerFound) {
  EXPECT_FALSE(replayFolder(SPROING_FUZZ_DIR "/found").empty());
}

TEST(FuzzReplay, ApplySeedsAndFindings) {
  EXPECT_GE(replayFolder(SPROING_FUZZ_DIR "/apply_corpus", findApplyViolation).size(), 80U);
  replayFolder(SPROING_FUZZ_DIR "/apply_found", findApplyViolation);
}

}  // namespace

// Every seed and every input the fuzzer ever found, replayed through the same property
// checks as the fuzz target, so that a fixed fault stays fixed.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/fuzz/model_properties.h"
#include "tests/support/seed_models.h"
#include "tests/support/tool_runner.h"

namespace {

void replayFolder(const std::string& folder, std::size_t atLeast) {
  std::size_t replayed = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (!entry.is_regular_file() || entry.path().filename() == "README.md") continue;
    const std::string bytes = readFile(entry.path().string());
    EXPECT_EQ(findPropertyViolation(reinterpret_cast<const unsigned char*>(bytes.data()),
                                    bytes.size()),
              "")
        << entry.path();
    ++replayed;
  }
  EXPECT_GE(replayed, atLeast) << folder;
}

TEST(FuzzReplay, SeedCorpus) { replayFolder(SPROING_FUZZ_DIR "/corpus", 80); }

TEST(FuzzReplay, InputsTheFuzzerFound) { replayFolder(SPROING_FUZZ_DIR "/found", 0); }

// The corpus in the repository is what the builder makes today.
TEST(FuzzReplay, SeedCorpusIsUpToDate) {
  for (const SeedModel& seed : seedModels()) {
    EXPECT_EQ(readFile(SPROING_FUZZ_DIR "/corpus/" + seed.name), bytesOf(seed.bytes))
        << seed.name << ": regenerate with make_model corpus tests/fuzz/corpus";
  }
}

}  // namespace

// Real models from outside the project, each with the exact text and console output the
// tool must give. They are read in place and never copied into the repository.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/real_models.h"
#include "tests/support/program_runner.h"

namespace {

TEST(RealModels, GiveExactlyTheirRecordedOutput) {
  const std::string source = SPROING_REALWORLD_DIR;
  if (!std::filesystem::exists(source + "/manifest.tsv")) {
    const char* ci = std::getenv("CI");
    if (ci != nullptr && std::string(ci) == "true") FAIL() << "real models missing: " << source;
    GTEST_SKIP() << "real models not found at " << source;
  }
  const std::vector<RealModel> models = readRealModels(source);
  ASSERT_GE(models.size(), 7u);
  for (const RealModel& m : models) {
    const std::string folder = makeScratchFolder();
    const ProgramRun result = runProgram({source + "/" + m.model}, folder);
    EXPECT_EQ(result.status, m.status) << m.model;
    const std::string stem = m.model.substr(0, m.model.size() - 4);
    if (m.outputFile == "-") {
      EXPECT_TRUE(folderEntries(folder).empty()) << m.model;
    } else {
      EXPECT_EQ(withoutCarriageReturns(result.output), readFile(source + "/" + stem + ".stdout"))
          << m.model;
      EXPECT_EQ(folderEntries(folder), std::vector<std::string>{m.outputFile}) << m.model;
      EXPECT_EQ(withoutCarriageReturns(readFile(folder + "/" + m.outputFile)),
                readFile(source + "/" + stem + ".qci"))
          << m.model;
    }
    removeFolder(folder);
  }
}

}  // namespace

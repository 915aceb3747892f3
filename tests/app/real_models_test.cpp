// Real models from outside the project, each with the exact text and console output the
// tool must give. They are read in place and never copied into the repository.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/tool_runner.h"

namespace {

struct RealModel {
  std::string model;
  int status = -1;
  std::string outputFile;
};

std::vector<RealModel> readManifest(const std::string& folder) {
  std::vector<RealModel> models;
  std::ifstream manifest(folder + "/manifest.tsv");
  std::string line;
  std::getline(manifest, line);  // column names
  while (std::getline(manifest, line)) {
    std::istringstream fields(line);
    RealModel m;
    std::string version, jiggleBones;
    if (fields >> m.model >> version >> jiggleBones >> m.status >> m.outputFile) models.push_back(m);
  }
  return models;
}

TEST(RealModels, GiveExactlyTheirRecordedOutput) {
  const std::string source = SPROING_REALWORLD_DIR;
  if (!std::filesystem::exists(source + "/manifest.tsv")) {
    const char* ci = std::getenv("CI");
    if (ci != nullptr && std::string(ci) == "true") FAIL() << "real models missing: " << source;
    GTEST_SKIP() << "real models not found at " << source;
  }
  const std::vector<RealModel> models = readManifest(source);
  ASSERT_GE(models.size(), 7u);
  for (const RealModel& m : models) {
    const std::string folder = makeScratchFolder();
    const ToolRun result = runTool({source + "/" + m.model}, folder);
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

// Paths and stored names outside ASCII: UTF-8 on the command line and on disk, echoed back
// on the console as the same UTF-8 bytes. On Windows they travel as wide characters.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/model_builder.h"
#include "tests/support/program_runner.h"

namespace {

const std::string kFolderName = "mod\xC3\xA8les";                             // modèles
const std::string kModelName = "\xD0\xBC\xD0\xBE\xD0\xB4\xD0\xB5\xD0\xBB\xD1\x8C.mdl";  // модель.mdl
// Characters beyond the 16-bit range (a pair of UTF-16 units each on Windows).
const std::string kAstralName = "\xE6\xA8\xA1\xE5\x9E\x8B\xF0\x9F\xA6\x8E.mdl";  // 模型🦎.mdl

class NonAsciiPaths : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = makeScratchFolder();
    std::filesystem::create_directory(folder + "/" + kFolderName);
  }
  void TearDown() override { removeFolder(folder); }

  std::string putModel(const std::string& relative, const std::vector<unsigned char>& bytes) {
    writeFile(folder + "/" + relative, bytesOf(bytes));
    return relative;
  }
  // The output of a run, with everything it wrote into its folder, for comparison.
  struct Outcome {
    ProgramRun run;
    std::vector<std::string> entries;
    std::string definitions;
  };
  Outcome runIn(const std::string& runFolder, const std::string& model,
                const std::string& outputName) {
    Outcome outcome;
    outcome.run = runProgram({model}, runFolder);
    outcome.entries = folderEntries(runFolder);
    outcome.definitions = readFile(runFolder + "/" + outputName);
    return outcome;
  }

  std::string folder;
};

TEST_F(NonAsciiPaths, AModelIsDumpedExactlyAsFromAnAsciiPath) {
  const std::vector<unsigned char> sample = buildModel(sampleModelPlan()).bytes;
  const std::string asciiFolder = makeScratchFolder();
  writeFile(asciiFolder + "/in.mdl", bytesOf(sample));
  const Outcome expected = runIn(asciiFolder, "in.mdl", "crate01_jiggles.qci");
  removeFolder(asciiFolder);
  ASSERT_EQ(expected.run.status, 0);
  ASSERT_NE(expected.definitions, "");

  const std::string relative = putModel(kFolderName + "/" + kModelName, sample);
  const std::string astral = putModel(kFolderName + "/" + kAstralName, sample);
  for (const std::string& model : {relative, folder + "/" + relative, astral}) {
    std::filesystem::remove(folder + "/crate01_jiggles.qci");
    const Outcome outcome = runIn(folder, model, "crate01_jiggles.qci");
    EXPECT_EQ(outcome.run.status, 0) << model;
    EXPECT_EQ(outcome.run.output, expected.run.output) << model;
    EXPECT_EQ(outcome.run.errors, "") << model;
    EXPECT_EQ(outcome.definitions, expected.definitions) << model;
    EXPECT_EQ(outcome.entries, (std::vector<std::string>{"crate01_jiggles.qci", kFolderName}));
  }
}

TEST_F(NonAsciiPaths, RefusalsEchoThePathAsTyped) {
  ModelPlan none = sampleModelPlan();
  none.bones.resize(1);
  std::vector<unsigned char> damaged = buildModel(sampleModelPlan()).bytes;
  putInt32(damaged, HeaderLayout::kBoneCount, 0x7FFFFFFF);
  const std::string text = putModel(kFolderName + "/t\xC3\xA9xt.mdl", {'h', 'e', 'l', 'l', 'o'});
  const std::string broken = putModel(kFolderName + "/" + kAstralName, damaged);
  const std::string empty = putModel(kFolderName + "/" + kModelName, buildModel(none).bytes);
  const std::string missing = kFolderName + "/\xD0\xBD\xD0\xB5\xD1\x82.mdl";  // нет.mdl

  struct Case {
    std::string path;
    int status;
    std::string output;
  } const cases[] = {
      {text, 3, text + " is not a studio model!\n"},
      {missing, 6, "Cannot read " + missing + "\n"},
      {broken, 7, broken + " is damaged: the bone table lies outside the file\n"},
      {empty, 5, "No bones contain jiggle info, exiting..\n"},
      {kFolderName + "/" + kModelName + ".txt", 6,
       "Cannot read " + kFolderName + "/" + kModelName + ".txt\n"},
  };
  for (const Case& c : cases) {
    const ProgramRun result = runProgram({c.path}, folder);
    EXPECT_EQ(result.status, c.status) << c.path;
    EXPECT_EQ(withoutCarriageReturns(result.output), c.output) << c.path;
    EXPECT_EQ(folderEntries(folder), std::vector<std::string>{kFolderName}) << c.path;
  }
}

TEST_F(NonAsciiPaths, AStoredNameInUtf8NamesTheOutputFile) {
  ModelPlan plan = sampleModelPlan();
  plan.name = "props\\" + kAstralName;
  const std::string model = putModel("in.mdl", buildModel(plan).bytes);
  const std::string outputName = "\xE6\xA8\xA1\xE5\x9E\x8B\xF0\x9F\xA6\x8E_jiggles.qci";
  writeFile(folder + "/" + outputName, "an earlier, longer file of the same name\n");

  const ProgramRun result = runProgram({model}, folder);
  EXPECT_EQ(result.status, 0);
  const std::string output = withoutCarriageReturns(result.output);
  const std::string wrote = "Wrote " + outputName + "\n";
  ASSERT_GE(output.size(), wrote.size());
  EXPECT_EQ(output.substr(output.size() - wrote.size()), wrote);
  EXPECT_EQ(folderEntries(folder), (std::vector<std::string>{"in.mdl", kFolderName, outputName}));
  EXPECT_EQ(readFile(folder + "/" + outputName).substr(0, 13), "$jigglebone \"");
}

}  // namespace

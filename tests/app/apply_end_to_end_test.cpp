// sproing_apply run as a user runs it: the dump of a model applied back gives the model
// byte for byte; an edit gives a copy that dumps as edited; every refusal has its status,
// its one line and leaves nothing behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "tests/support/model_builder.h"
#include "tests/support/real_models.h"
#include "tests/support/program_runner.h"

namespace {

const std::string kSamplePath = std::string(SPROING_SOURCE_DIR) + "/examples/crate01.mdl";

ProgramRun runApply(const std::vector<std::string>& arguments, const std::string& folder) {
  ProgramRunOptions options;
  options.apply = true;
  return runProgram(arguments, folder, options);
}

// Dumps the model in `folder` and applies that text back to a copy.
void expectRoundTrip(const std::string& model, const std::string& folder) {
  const ProgramRun dumped = runProgram({model}, folder);
  ASSERT_EQ(dumped.status, 0) << model;
  const std::string output = withoutCarriageReturns(dumped.output);
  const std::string written = output.substr(output.rfind("Wrote ") + 6, std::string::npos);
  const ProgramRun applied = runApply({model, written.substr(0, written.size() - 1), "copy.mdl"}, folder);
  EXPECT_EQ(applied.status, 0) << model;
  EXPECT_EQ(withoutCarriageReturns(applied.output), "No jiggle bone changed\nWrote copy.mdl\n") << model;
  EXPECT_TRUE(readFile(folder + "/copy.mdl") == readFile(model)) << model << ": the copy differs";
}

TEST(ApplyEndToEnd, TheDumpAppliedBackGivesTheSameBytesForEveryRealModel) {
  const std::string folder = makeScratchFolder();
  expectRoundTrip(kSamplePath, folder);
  const std::string real = SPROING_REALWORLD_DIR;
  int models = 0;
  for (const RealModel& m : readRealModels(real)) {
    if (m.status != 0) continue;
    expectRoundTrip(real + "/" + m.model, folder);
    ++models;
  }
  if (models == 0) std::cout << "real models not found at " << real << "; the sample only\n";
  removeFolder(folder);
}

TEST(ApplyEndToEnd, AnEditGivesACopyThatDumpsAsEdited) {
  const std::string folder = makeScratchFolder();
  std::filesystem::create_directory(folder + "/soft");
  ASSERT_EQ(runProgram({kSamplePath}, folder).status, 0);
  std::string text = withoutCarriageReturns(readFile(folder + "/crate01_jiggles.qci"));
  text.replace(text.find("yaw_stiffness 100"), 17, "yaw_stiffness 150");
  writeFile(folder + "/crate01_jiggles.qci", text);

  const ProgramRun applied = runApply({kSamplePath, "crate01_jiggles.qci", "soft/crate01.mdl"}, folder);
  EXPECT_EQ(applied.status, 0);
  EXPECT_EQ(withoutCarriageReturns(applied.output),
            "Changed tail_1: yaw_stiffness 100 -> 150\nWrote soft/crate01.mdl\n");
  EXPECT_EQ(folderEntries(folder + "/soft"), std::vector<std::string>{"crate01.mdl"});  // no temporary left
  std::filesystem::remove(folder + "/crate01_jiggles.qci");
  ASSERT_EQ(runProgram({"soft/crate01.mdl"}, folder).status, 0);
  EXPECT_EQ(withoutCarriageReturns(readFile(folder + "/crate01_jiggles.qci")), text);
  removeFolder(folder);
}

// Each refusal, and --help and --version anywhere on the line, answer with a status and
// their lines alone, and write nothing.
TEST(ApplyEndToEnd, RefusalsHelpAndVersionHaveTheirStatusAndLinesAndWriteNothing) {
  const std::string folder = makeScratchFolder();
  const std::string sample = bytesOf(buildModel(sampleModelPlan()).bytes);
  writeFile(folder + "/m.mdl", sample);
  writeFile(folder + "/text.mdl", "hello");
  writeFile(folder + "/e.qci", "$jigglebone tail_1 { }\n");
  writeFile(folder + "/bad.qci", "\n$jigglebone tail_1 { is_boing { } }\n");
  std::filesystem::create_symlink("m.mdl", folder + "/link.mdl");
  std::filesystem::create_hard_link(folder + "/m.mdl", folder + "/hard.mdl");
  std::filesystem::create_symlink("e.qci", folder + "/edits-link.mdl");
  std::filesystem::create_directory(folder + "/taken.mdl");
  const char kUsage[] = "Usage: sproing_apply.exe [--skip-missing-bones] modelfile.mdl edits.qci output.mdl\n";

  struct Case {
    std::vector<std::string> arguments;
    int status;
    std::string output;
    bool prefix = false;  // the output begins with it
  } const cases[] = {
      {{"m.mdl", "--help", "e.qci"}, 0, "Usage: sproing_apply.exe [--skip-missing-bones]", true},
      {{"--version"}, 0, "sproing_apply " SPROING_PROJECT_VERSION "\n"},
      {{}, 1, kUsage},
      {{"m.mdl", "e.qci"}, 1, kUsage},
      {{"--skip-missing-bones", "m.mdl", "e.qci", "out.mdl", "more.mdl"}, 1, kUsage},
      {{"M.MDL", "e.qci", "M.MDL"}, 2, "Specified file is not a model (*.mdl).\n"},
      {{"m.mdl", "missing.qci", "m.mdl"}, 11, "m.mdl is the model itself: name another output file\n"},
      {{"m.mdl", "e.qci", "./m.mdl"}, 11, "./m.mdl is the model itself: name another output file\n"},
      {{"m.mdl", "e.qci", "link.mdl"}, 11, "link.mdl is the model itself: name another output file\n"},
      {{"m.mdl", "e.qci", "hard.mdl"}, 11, "hard.mdl is the model itself: name another output file\n"},
      {{"m.mdl", "e.qci", "e.qci"}, 11, "e.qci is the edits file itself: name another output file\n"},
      {{"m.mdl", "./e.qci", "edits-link.mdl"}, 11, "edits-link.mdl is the edits file itself: name another output file\n"},
      {{"m.mdl", "edits-link.mdl", "../" + std::filesystem::path(folder).filename().string() + "/e.qci"}, 11,
       "../" + std::filesystem::path(folder).filename().string() + "/e.qci is the edits file itself: name another output file\n"},
      {{"missing.mdl", "e.qci", "out.mdl"}, 6, "Cannot read missing.mdl\n"},
      {{"text.mdl", "missing.qci", "out.mdl"}, 3, "text.mdl is not a studio model!\n"},
      {{"m.mdl", "missing.qci", "out.mdl"}, 6, "Cannot read missing.qci\n"},
      {{"m.mdl", "bad.qci", "out.mdl"}, 10,
       "bad.qci:2: is_boing is part of the $jigglebone language that these tools neither read nor write; "
       "the model keeps what it has: leave it out\n"},
      // A failed write says only that: none of the changes it would report has happened.
      {{"m.mdl", "e.qci", "taken.mdl"}, 8, "Cannot write taken.mdl\n"},
      {{"m.mdl", "e.qci", "nowhere/out.mdl"}, 8, "Cannot write nowhere/out.mdl\n"},
  };
  const auto before = folderEntries(folder);
  for (const Case& c : cases) {
    const std::string shown = c.arguments.empty() ? "(none)" : c.arguments.back();
    const ProgramRun result = runApply(c.arguments, folder);
    EXPECT_EQ(result.status, c.status) << shown;
    const std::string output = withoutCarriageReturns(result.output);
    EXPECT_EQ(c.prefix ? output.substr(0, c.output.size()) : output, c.output) << shown;
    EXPECT_EQ(result.errors, "") << shown;
    EXPECT_EQ(folderEntries(folder), before) << shown;  // nothing written, nothing left
    EXPECT_TRUE(std::filesystem::is_empty(folder + "/taken.mdl")) << shown;
  }
  EXPECT_EQ(readFile(folder + "/m.mdl"), sample);
  removeFolder(folder);
}

}  // namespace

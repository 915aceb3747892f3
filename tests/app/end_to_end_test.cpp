// The built tool run as a user runs it: from a folder of its own, on files made by the
// model builder, checking files, console and exit status.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>

#include "tests/support/model_builder.h"
#include "tests/support/program_runner.h"

namespace {

// The sample's text and console output, as documented for the model it holds.
const std::string kSampleDefinitions = readFixture("crate01_jiggles.qci");
const std::string kSampleConsole = readFixture("crate01.stdout");

const std::string kSamplePath = std::string(SPROING_SOURCE_DIR) + "/examples/crate01.mdl";

// `count` jiggle bones with every block and limit line: a model whose text is far longer
// than any buffer on its way out.
ModelPlan manyJiggleBones(std::size_t count) {
  ModelPlan plan;
  plan.name = "models/many.mdl";
  JigglePlan everything;
  everything.flags = JiggleBit::kFlexibleTip | JiggleBit::kRigidTip | JiggleBit::kYawLimited |
                     JiggleBit::kPitchLimited | JiggleBit::kAngleLimited | JiggleBit::kBaseSpring;
  for (std::size_t field = 1; field < everything.values.size(); ++field) {
    everything.values[field] = 0.125f * static_cast<float>(field);
  }
  for (std::size_t i = 0; i < count; ++i) {
    plan.bones.push_back(jiggleBone("jiggle_bone_" + std::to_string(i), everything));
  }
  return plan;
}

// The blocks of each bone of manyJiggleBones: field n holds n / 8, angles in whole degrees
// of those radians (1.125 radians is 64 degrees, 1.25 is 72, 1.375 is 79, 1.75 is 100,
// 1.875 is 107).
const std::string kLimitLines =
    "\t\tyaw_constraint 72 79\n\t\tyaw_friction 1.5\n\t\tangle_constraint 64\n"
    "\t\tpitch_constraint 100 107\n\t\tpitch_friction 2\n\t\tpitch_bounce 2.125\n";
const std::string kEveryBlock =
    "\tis_flexible {\n\t\tyaw_stiffness 0.375\n\t\tyaw_damping 0.5\n\t\tpitch_stiffness 0.625\n"
    "\t\tpitch_damping 0.75\n\t\talong_stiffness 0.875\n\t\talong_damping 1\n\t\tlength 0.125\n"
    "\t\ttip_mass 0.25\n" + kLimitLines + "\t}\n\tis_rigid {\n\t\tlength 0.125\n\t\ttip_mass 0.25\n" + kLimitLines +
    "\t}\n\n\thas_base_spring {\n\t\tbase_mass 2.25\n\t\tstiffness 2.375\n\t\tdamping 2.5\n"
    "\t\tleft_constraint 2.625 2.75\n\t\tleft_friction 2.875\n\t\tup_constraint 3 3.125\n\t\tup_friction 3.25\n"
    "\t\tforward_constraint 3.375 3.5\n\t\tforward_friction 3.625\n\t}\n";

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override { folder = makeScratchFolder(); }
  void TearDown() override { removeFolder(folder); }

  // Writes a model into the test's folder and returns its name there.
  std::string putModel(const std::string& name, const std::vector<unsigned char>& bytes) {
    writeFile(folder + "/" + name, bytesOf(bytes));
    return name;
  }
  ProgramRun run(const std::vector<std::string>& arguments) { return runProgram(arguments, folder); }

  std::string folder;
};

// A sound model gives the sample's text and console, its file named after the stored name
// and nothing else left in the folder; an earlier file of that name is replaced, keeping its
// permissions: someone chose them.
TEST_F(EndToEnd, SoundModelsWriteTheSampleDefinitions) {
  struct Case {
    std::string title;
    std::string model;
    std::vector<unsigned char> bytes;  // written to `model` in the folder; none: the sample's file
    std::string output;
    bool earlier = false;
  };
  ModelPlan stored = sampleModelPlan();
  stored.name = "a/b\\stored.mdl";
  std::vector<Case> cases = {
      {"the sample, from another folder", kSamplePath, {}, "crate01_jiggles.qci"},
      {"the sample over an earlier file", kSamplePath, {}, "crate01_jiggles.qci", true},
      {"the stored name, not the path", "on_disk.mdl.bak", buildModel(stored).bytes, "stored_jiggles.qci"},
  };
  for (const std::int32_t version : {45, 46, 47, 49, 1000}) {
    ModelPlan plan = sampleModelPlan();
    plan.version = version;
    plan.descriptors.assign(3, {});
    plan.descriptors[1][84] = 1;  // a section word to reset
    cases.push_back({"version " + std::to_string(version), "v.mdl", buildModel(plan).bytes, "crate01_jiggles.qci"});
  }
  namespace fs = std::filesystem;
  const fs::perms chosen = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  const std::string boneLines = kSampleConsole.substr(0, kSampleConsole.rfind("Wrote "));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    std::vector<std::string> entries = {c.output};
    if (!c.bytes.empty()) entries.push_back(putModel(c.model, c.bytes));
    std::sort(entries.begin(), entries.end());
    if (c.earlier) {
      writeFile(folder + "/" + c.output, std::string(100000, 'x'));
      fs::permissions(folder + "/" + c.output, chosen);
    }
    const ProgramRun result = run({c.model});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(withoutCarriageReturns(result.output), boneLines + "Wrote " + c.output + "\n");
    EXPECT_EQ(result.errors, "");
    EXPECT_EQ(withoutCarriageReturns(readFile(folder + "/" + c.output)), kSampleDefinitions);
    EXPECT_EQ(folderEntries(folder), entries);
    // Windows keeps a replaced file's attributes and access rights, which Wine does not show
    // as these bits.
    if (c.earlier && !toolsAreWindowsBuilds()) {
      EXPECT_EQ(fs::status(folder + "/" + c.output).permissions(), chosen);
    }
    for (const std::string& entry : entries) fs::remove(folder + "/" + entry);
  }
}

TEST_F(EndToEnd, EachRefusalHasItsMessageAndStatus) {
  ModelPlan old = sampleModelPlan();
  old.version = 44;
  ModelPlan none = sampleModelPlan();
  none.bones.resize(1);
  std::vector<unsigned char> damaged = buildModel(sampleModelPlan()).bytes;
  putInt32(damaged, HeaderLayout::kBoneCount, 0x7FFFFFFF);
  ModelPlan colon = sampleModelPlan();
  colon.name = "c:crate.mdl";
  putModel("old.mdl", buildModel(old).bytes);
  putModel("none.mdl", buildModel(none).bytes);
  putModel("damaged.mdl", damaged);
  putModel("colon.mdl", buildModel(colon).bytes);
  putModel("text.mdl", std::vector<unsigned char>{'h', 'e', 'l', 'l', 'o'});
  putModel("A.MDL", buildModel(sampleModelPlan()).bytes);
  std::filesystem::create_directory(folder + "/folder.mdl");
  std::filesystem::create_directory(folder + "/crate01_jiggles.qci");  // where the sample's text would go

  struct Case {
    std::vector<std::string> arguments;
    int status;
    std::string output;
  } const cases[] = {
      {{}, 1, "Usage: sproing_dump.exe modelfile.mdl\n"},
      {{"a.mdl", "b.mdl"}, 1, "Usage: sproing_dump.exe modelfile.mdl\n"},
      {{"A.MDL"}, 2, "Specified file is not a model (*.mdl).\n"},
      {{"model_mdl"}, 2, "Specified file is not a model (*.mdl).\n"},
      {{"--help"}, 2, "Specified file is not a model (*.mdl).\n"},  // no options: its lines are fixed
      {{"missing.mdl"}, 6, "Cannot read missing.mdl\n"},
      {{"folder.mdl"}, 6, "Cannot read folder.mdl\n"},
      {{"./text.mdl"}, 3, "./text.mdl is not a studio model!\n"},
      {{"old.mdl"}, 4, "Version 44 models do not have jigglebone data, exiting..\n"},
      {{"damaged.mdl"}, 7, "damaged.mdl is damaged: the bone table lies outside the file\n"},
      {{"colon.mdl"}, 7, "colon.mdl is damaged: its stored name gives an unusable output file name\n"},
      {{"none.mdl"}, 5, "No bones contain jiggle info, exiting..\n"},
      {{kSamplePath}, 8, "Cannot write crate01_jiggles.qci\n"},
  };
  const auto before = folderEntries(folder);
  for (const Case& c : cases) {
    const ProgramRun result = run(c.arguments);
    const std::string shown = c.arguments.empty() ? "(none)" : c.arguments[0];
    EXPECT_EQ(result.status, c.status) << shown;
    EXPECT_EQ(withoutCarriageReturns(result.output), c.output) << shown;
    EXPECT_EQ(result.errors, "") << shown;
    EXPECT_EQ(folderEntries(folder), before) << shown;  // nothing written, nothing left
  }
  EXPECT_TRUE(std::filesystem::is_directory(folder + "/crate01_jiggles.qci"));
}

// Console text far longer than any buffer on its way out comes out whole, in order, with
// the closing line last; a file not written is said in one line.
TEST_F(EndToEnd, LongConsoleTextComesOutWholeAndInOrder) {
  const std::string model = putModel("many.mdl", buildModel(manyJiggleBones(3000)).bytes);
  std::string text;
  std::string bones;
  for (int i = 0; i < 3000; ++i) {
    const std::string name = "jiggle_bone_" + std::to_string(i);
    text += "$jigglebone \"" + name + "\" {\n" + kEveryBlock + "}\n\n";
    bones += "Jigglebone: " + name + " - is_flexible - is_rigid - has_base_spring \n";
  }
  ASSERT_GT(bones.size(), 200000U);

  const ProgramRun written = run({model});
  EXPECT_EQ(written.status, 0);
  EXPECT_EQ(withoutCarriageReturns(written.output), bones + "Wrote many_jiggles.qci\n");
  EXPECT_EQ(withoutCarriageReturns(readFile(folder + "/many_jiggles.qci")), text);

  std::filesystem::remove(folder + "/many_jiggles.qci");
  std::filesystem::create_directory(folder + "/many_jiggles.qci");
  const ProgramRun refused = run({model});
  EXPECT_EQ(refused.status, 8);
  EXPECT_EQ(withoutCarriageReturns(refused.output), "Cannot write many_jiggles.qci\n");
}

// A console that cannot be written is reported once the run is over, on standard error;
// the file is written all the same, and an earlier failure keeps its own status.
TEST_F(EndToEnd, ALostConsoleIsReportedAfterTheRun) {
  struct Case {
    std::string argument;
    bool closedPipe;  // else a full disk
    int status;
    bool written;
  } const cases[] = {
      {kSamplePath, false, 9, true},
      {kSamplePath, true, 9, true},
      {"missing.mdl", false, 6, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.argument + (c.closedPipe ? ", closed pipe" : ", full disk"));
    ProgramRunOptions options;
    options.closedPipe = c.closedPipe;
    if (!c.closedPipe) options.standardOutput = "/dev/full";
    const ProgramRun result = runProgram({c.argument}, folder, options);
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(withoutCarriageReturns(result.errors), "Cannot write to standard output\n");
    EXPECT_EQ(withoutCarriageReturns(readFile(folder + "/crate01_jiggles.qci")),
              c.written ? kSampleDefinitions : "");
    std::filesystem::remove(folder + "/crate01_jiggles.qci");
  }
}

// Interrupted while writing, the tool removes its temporary file and leaves the earlier
// output as it was. The run is stopped (SIGSTOP) once its temporary file is seen and, if
// the file is still there, interrupted while stopped: mid-file for certain. A run that got
// past its writing before it was stopped is tried again.
TEST_F(EndToEnd, AnInterruptedRunLeavesNothingBehind) {
  const std::string model = putModel("many.mdl", buildModel(manyJiggleBones(100000)).bytes);
  const std::string earlier = "an earlier output file, to be kept byte for byte\n";
  const auto writing = [&] {
    for (const std::string& name : folderEntries(folder)) {
      if (name.starts_with("sproing_dump_") && name.ends_with(".tmp")) return true;
    }
    return false;
  };
  bool interrupted = false;
  for (int attempt = 0; attempt < 5 && !interrupted; ++attempt) {
    writeFile(folder + "/many_jiggles.qci", earlier);
    ProgramProcess process = startProgram({model}, folder);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!writing() && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    kill(process.pid, SIGSTOP);
    interrupted = writing();
    kill(process.pid, SIGINT);
    kill(process.pid, SIGCONT);
    const ProgramRun result = waitForProgram(process);
    if (!interrupted) continue;
    EXPECT_EQ(result.status, 130);
    EXPECT_EQ(folderEntries(folder), (std::vector<std::string>{model, "many_jiggles.qci"}));
    EXPECT_EQ(readFile(folder + "/many_jiggles.qci"), earlier);
  }
  EXPECT_TRUE(interrupted) << "no run was caught writing";
}

}  // namespace

// sproing_sweep run as a user runs it over a folder of downloads: every model's text is
// sproing_dump's byte for byte, named after its file under the folder it lies in, so that
// models storing one name lose nothing; the JSON statuses are sproing_dump's; any number of
// jobs gives the same files and lines; an interrupt leaves no temporary file.
#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/model_builder.h"
#include "tests/support/program_runner.h"

namespace {

ProgramRun runSweep(const std::vector<std::string>& arguments, const std::string& folder) {
  ProgramRunOptions options;
  options.sweep = true;
  return runProgram(arguments, folder, options);
}

// The lines a tool printed, with the separators of its system read as '/' (a Windows
// build's, and those escaped in JSON).
std::vector<std::string> linesOf(const std::string& output) {
  const std::string raw = withoutCarriageReturns(output);
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '\n') {
      lines.push_back(std::move(line));
      line.clear();
    } else if (raw[i] != '\\') {
      line += raw[i];
    } else {
      line += '/';
      if (i + 1 < raw.size() && raw[i + 1] == '\\') ++i;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

// The files below `folder`, by their paths below it, with their bytes.
std::map<std::string, std::string> filesBelow(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    files[std::filesystem::relative(entry.path(), folder).generic_string()] = readFile(entry.path().string());
  }
  return files;
}

// What sproing_dump gives the model: its status, its console and the text it writes.
struct Dumped {
  int status = -1;
  std::string console;
  std::string text;
};

Dumped dumped(const std::string& model) {
  const std::string folder = makeScratchFolder();
  const ProgramRun run = runProgram({model}, folder);
  Dumped out{run.status, withoutCarriageReturns(run.output), ""};
  const std::vector<std::string> files = folderEntries(folder);
  if (files.size() == 1) out.text = readFile(folder + "/" + files[0]);
  removeFolder(folder);
  return out;
}

std::vector<unsigned char> sampleStoring(const std::string& storedName) {
  ModelPlan plan = sampleModelPlan();
  plan.name = storedName;
  return buildModel(plan).bytes;
}

void put(const std::string& path, const std::vector<unsigned char>& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  writeFile(path, bytesOf(bytes));
}

class Sweep : public ::testing::Test {
 protected:
  void SetUp() override { folder = makeScratchFolder(); }
  void TearDown() override { removeFolder(folder); }
  std::string folder;
};

TEST_F(Sweep, NamesEachTextAfterItsFileUnderItsFolders) {
  put(folder + "/in/red/pyro.mdl", sampleStoring("player/pyro.mdl"));
  put(folder + "/in/blue/pyro.mdl", sampleStoring("player/pyro.mdl"));
  put(folder + "/in/blue/pyro_arms.mdl", sampleStoring("player/pyro.mdl"));
  put(folder + "/in/a folder/m\xC3\xA9" "decin/crate.mdl", sampleStoring("props/crate01.mdl"));
  std::vector<unsigned char> damaged = sampleStoring("props/crate01.mdl");
  damaged.resize(HeaderLayout::kUsedSize - 1);
  put(folder + "/in/damaged.mdl", damaged);
  put(folder + "/in/LOUD.MDL", sampleStoring("loud.mdl"));
  writeFile(folder + "/in/readme.txt", "not a model\n");

  const ProgramRun run = runSweep({"-o", "out", "in"}, folder);
  EXPECT_EQ(run.status, 2);  // the damaged model
  EXPECT_EQ(run.errors, "");
  std::vector<std::string> lines = linesOf(run.output);
  ASSERT_FALSE(lines.empty());
  const std::string summary = lines.back();
  lines.pop_back();
  std::sort(lines.begin(), lines.end());
  const std::vector<std::string> expected = {
      "in/LOUD.MDL: passed over: only a lower-case .mdl is taken, as by sproing_dump; rename it with .mdl in lower case",
      "in/a folder/m\xC3\xA9" "decin/crate.mdl: 2 jiggle bones written to out/a folder/m\xC3\xA9" "decin/crate_jiggles.qci",
      "in/blue/pyro.mdl: 2 jiggle bones written to out/blue/pyro_jiggles.qci",
      "in/blue/pyro_arms.mdl: 2 jiggle bones written to out/blue/pyro_arms_jiggles.qci",
      "in/damaged.mdl: damaged: the header lies outside the file",
      "in/red/pyro.mdl: 2 jiggle bones written to out/red/pyro_jiggles.qci",
  };
  EXPECT_EQ(lines, expected);
  EXPECT_EQ(summary.substr(0, 15), "Swept 5 models ");
  EXPECT_NE(summary.find(": 4 written (8 jiggle bones), 1 damaged; 2 other files passed over "
                         "(1 named .MDL or in other capitals)"),
            std::string::npos)
      << summary;

  // Every text is the dump's of its model; nothing else is written, and no model changed.
  const std::string sample = dumped(folder + "/in/red/pyro.mdl").text;
  ASSERT_FALSE(sample.empty());
  const std::map<std::string, std::string> written = filesBelow(folder + "/out");
  const std::map<std::string, std::string> wanted = {
      {"a folder/m\xC3\xA9" "decin/crate_jiggles.qci", dumped(folder + "/in/a folder/m\xC3\xA9" "decin/crate.mdl").text},
      {"blue/pyro_arms_jiggles.qci", sample},
      {"blue/pyro_jiggles.qci", sample},
      {"red/pyro_jiggles.qci", sample},
  };
  EXPECT_EQ(written, wanted);
  EXPECT_EQ(readFile(folder + "/in/damaged.mdl"), bytesOf(damaged));
}

TEST_F(Sweep, GivesEachModelTheDumpsStatusAndLine) {
  ModelPlan old = sampleModelPlan();
  old.version = 44;
  ModelPlan plain = sampleModelPlan();
  plain.bones.resize(1);
  std::vector<unsigned char> damaged = sampleStoring("crate01.mdl");
  damaged.resize(HeaderLayout::kUsedSize - 1);
  const std::map<std::string, std::vector<unsigned char>> models = {
      {"written.mdl", sampleStoring("crate01.mdl")}, {"old.mdl", buildModel(old).bytes},
      {"plain.mdl", buildModel(plain).bytes},       {"damaged.mdl", damaged},
      {"text.mdl", {'t', 'e', 'x', 't'}},
  };
  for (const auto& [name, bytes] : models) put(folder + "/in/" + name, bytes);

  const ProgramRun run = runSweep({"--json", "--quiet", "-o", "out", "in", "missing.mdl"}, folder);
  EXPECT_EQ(run.status, 2);
  std::vector<std::string> lines = linesOf(run.output);
  ASSERT_EQ(lines.size(), models.size() + 2);  // --quiet leaves every JSON line
  EXPECT_EQ(lines.back().find("{\"summary\":true,\"models\":6,"), 0U) << lines.back();
  lines.pop_back();
  for (const std::string& line : lines) {
    const std::size_t nameStart = line.find("\"model\":\"") + 9;
    const std::string model = line.substr(nameStart, line.find('"', nameStart) - nameStart);
    SCOPED_TRACE(model);
    const Dumped dump = dumped(folder + "/" + model);
    const std::string status = "\"status\":" + std::to_string(dump.status) + ",";
    EXPECT_NE(line.find(status), std::string::npos) << line;
    if (dump.status == 0) {
      EXPECT_NE(line.find("\"output\":\"out/written_jiggles.qci\",\"message\":null}"), std::string::npos) << line;
    } else {
      // The dump names the model by the path it was given; the sweep by the path it found.
      std::string message = dump.console.substr(0, dump.console.size() - 1);
      const std::size_t typed = message.find(folder + "/");
      if (typed != std::string::npos) message.erase(typed, folder.size() + 1);
      EXPECT_NE(line.find("\"output\":null,\"message\":\"" + message + "\"}"), std::string::npos) << line;
    }
  }
}

// --skeleton: a skeleton beside each text written, named after the model's file; one that
// cannot be drawn is said and counted, ends the sweep with 2, and leaves the texts as they
// are without the option. Its line and JSON name the bone and why.
TEST_F(Sweep, WritesEachSkeletonBesideItsText) {
  put(folder + "/in/red/pyro.mdl", sampleStoring("player/pyro.mdl"));
  ModelPlan broken = sampleModelPlan();
  broken.bones[2].parent = 3;  // tail_2's parent comes after it
  put(folder + "/in/broken.mdl", buildModel(broken).bytes);
  const ProgramRun plain = runSweep({"-o", "plain", "in"}, folder);
  const ProgramRun run = runSweep({"--skeleton", "-o", "out", "in"}, folder);
  EXPECT_EQ(plain.status, 0);
  EXPECT_EQ(run.status, 2);
  std::vector<std::string> lines = linesOf(run.output);
  ASSERT_EQ(lines.size(), 3U) << run.output;
  std::sort(lines.begin(), lines.end() - 1);
  EXPECT_EQ(lines[0], "in/broken.mdl: 2 jiggle bones written to out/broken_jiggles.qci; skeleton not written: "
                      "bone 2's parent (3) does not come before it");
  EXPECT_EQ(lines[1], "in/red/pyro.mdl: 2 jiggle bones written to out/red/pyro_jiggles.qci, "
                      "its skeleton to out/red/pyro_skeleton.glb");
  EXPECT_NE(lines[2].find("; 1 skeleton written, 1 not written"), std::string::npos) << lines[2];
  std::map<std::string, std::string> written = filesBelow(folder + "/out");
  const std::string glb = written["red/pyro_skeleton.glb"];
  EXPECT_EQ(glb.substr(0, 4), "glTF");
  EXPECT_EQ(static_cast<unsigned char>(glb[8]) | static_cast<unsigned char>(glb[9]) << 8, static_cast<int>(glb.size()));
  written.erase("red/pyro_skeleton.glb");
  EXPECT_EQ(written, filesBelow(folder + "/plain"));

  const ProgramRun json = runSweep({"--json", "--skeleton", "-o", "out", "in/broken.mdl"}, folder);
  EXPECT_EQ(json.status, 2);
  EXPECT_NE(json.output.find(",\"skeleton\":null,\"skeleton_message\":\"skeleton not written: bone 2's parent (3) "
                             "does not come before it\"}"),
            std::string::npos)
      << json.output;
  EXPECT_NE(json.output.find(",\"skeletons\":0,\"skeletons_not_written\":1,"), std::string::npos) << json.output;
}

// Two folders given may hold a model at the same place below them: the later one's text is
// renamed, not lost. In JSON, a name's bytes that are no UTF-8 show as U+FFFD, a control
// character escaped, so that every line is valid JSON.
TEST_F(Sweep, LosesNoTextToANameTakenAndKeepsItsJsonValid) {
  put(folder + "/a/pyro.mdl", sampleStoring("pyro.mdl"));
  put(folder + "/b/pyro.mdl", sampleStoring("pyro.mdl"));
  // A Windows build under Wine sees such bytes through Wine's own mapping.
  const bool oddName = !toolsAreWindowsBuilds();
  put(folder + (oddName ? "/c/bad\xFF\x01.mdl" : "/c/bad.mdl"), sampleStoring("pyro.mdl"));
  const ProgramRun run = runSweep({"--json", "--jobs", "1", "-o", "out", "a", "b", "c"}, folder);
  EXPECT_EQ(run.status, 0);
  const std::vector<std::string> lines = linesOf(run.output);
  ASSERT_EQ(lines.size(), 4U);
  EXPECT_NE(lines[0].find("\"output\":\"out/pyro_jiggles.qci\""), std::string::npos) << lines[0];
  EXPECT_NE(lines[1].find("\"output\":\"out/pyro~2_jiggles.qci\""), std::string::npos) << lines[1];
  // linesOf reads backslashes as separators: the escapes are looked for in the output itself.
  if (oddName) {
    EXPECT_NE(run.output.find("bad\\ufffd\\u0001.mdl\""), std::string::npos) << lines[2];
  }
  EXPECT_NE(lines[3].find("\"renamed_outputs\":1,"), std::string::npos) << lines[3];
  const std::string sample = dumped(folder + "/a/pyro.mdl").text;
  EXPECT_EQ(readFile(folder + "/out/pyro_jiggles.qci"), sample);
  EXPECT_EQ(readFile(folder + "/out/pyro~2_jiggles.qci"), sample);
}

TEST_F(Sweep, AnyNumberOfJobsGivesTheSameFilesAndLines) {
  for (int i = 0; i < 24; ++i) {
    ModelPlan plan = sampleModelPlan();
    plan.bones.resize(static_cast<std::size_t>(2 + i % 3));  // one jiggle bone or two
    put(folder + "/in/" + std::to_string(i % 3) + "/m" + std::to_string(i) + ".mdl", buildModel(plan).bytes);
  }
  const ProgramRun one = runSweep({"--jobs", "1", "-o", "one", "in"}, folder);
  const ProgramRun four = runSweep({"--jobs", "4", "-o", "four", "in"}, folder);
  EXPECT_EQ(one.status, 0);
  EXPECT_EQ(four.status, 0);
  EXPECT_EQ(filesBelow(folder + "/one"), filesBelow(folder + "/four"));
  std::vector<std::string> oneLines = linesOf(one.output);
  std::vector<std::string> fourLines = linesOf(four.output);
  ASSERT_EQ(oneLines.size(), 25U);
  ASSERT_EQ(fourLines.size(), 25U);
  // The same lines in the same order but for their output folders and the time taken.
  for (std::size_t i = 0; i + 1 < oneLines.size(); ++i) {
    const std::size_t inOne = oneLines[i].find(" to one/");
    const std::size_t inFour = fourLines[i].find(" to four/");
    ASSERT_NE(inOne, std::string::npos) << oneLines[i];
    ASSERT_NE(inFour, std::string::npos) << fourLines[i];
    EXPECT_EQ(oneLines[i].substr(0, inOne) + oneLines[i].substr(inOne + 8),
              fourLines[i].substr(0, inFour) + fourLines[i].substr(inFour + 9));
  }
  EXPECT_EQ(oneLines.back().substr(0, oneLines.back().find(" in ")), fourLines.back().substr(0, fourLines.back().find(" in ")));
}

TEST_F(Sweep, AnInterruptLeavesOnlyWholeTexts) {
  ModelPlan plan = sampleModelPlan();
  JigglePlan everything;
  everything.flags = JiggleBit::kFlexibleTip | JiggleBit::kRigidTip | JiggleBit::kYawLimited |
                     JiggleBit::kPitchLimited | JiggleBit::kAngleLimited | JiggleBit::kBaseSpring;
  plan.bones.assign(3000, jiggleBone("bone", everything));
  const std::vector<unsigned char> model = buildModel(plan).bytes;
  for (int i = 0; i < 24; ++i) put(folder + "/in/m" + std::to_string(i) + ".mdl", model);
  const std::string text = dumped(folder + "/in/m0.mdl").text;
  ASSERT_FALSE(text.empty());

  ProgramRunOptions options;
  options.sweep = true;
  ProgramProcess process = startProgram({"--jobs", "4", "-o", "out", "in"}, folder, options);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!std::filesystem::exists(folder + "/out") && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  kill(process.pid, SIGINT);
  const ProgramRun run = waitForProgram(process);
  EXPECT_EQ(run.status, 130);
  const std::vector<std::string> lines = linesOf(run.output);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back().substr(0, 18), "Interrupted after ") << lines.back();
  const std::map<std::string, std::string> written = filesBelow(folder + "/out");
  EXPECT_LT(written.size(), 24U);
  for (const auto& [name, bytes] : written) {
    EXPECT_TRUE(name.size() > 12 && name.compare(name.size() - 12, 12, "_jiggles.qci") == 0) << name;
    EXPECT_TRUE(bytes == text) << name << " is not whole";
  }
  EXPECT_EQ(lines.size(), written.size() + 1);  // a line for each text in place, and no other
}

TEST_F(Sweep, TellsItsUsageHelpAndVersion) {
  const ProgramRun none = runSweep({}, folder);
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(withoutCarriageReturns(none.output),
            "sproing_sweep: no folder or model given\n"
            "Usage: sproing_sweep [-o OUTDIR] [--jobs N] [--json] [--quiet] [--skeleton] PATH...\n");
  const ProgramRun jobs = runSweep({"--jobs", "0", "in"}, folder);
  EXPECT_EQ(jobs.status, 1);
  EXPECT_EQ(linesOf(jobs.output)[0], "sproing_sweep: --jobs takes a number from 1 to 64, not 0");
  const ProgramRun help = runSweep({"--help"}, folder);
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.output.find("--json"), std::string::npos);
  const ProgramRun version = runSweep({"--version"}, folder);
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(linesOf(version.output)[0].substr(0, 14), "sproing_sweep ");
  EXPECT_EQ(folderEntries(folder), std::vector<std::string>{});
}

}  // namespace

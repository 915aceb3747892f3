// Failures of the file system, run through the built tool: each is reported with its
// status and message, leaves no temporary file, and leaves an earlier output file byte for
// byte as it was. The full and the read-only folder are mounts, so they need root; without
// it they are skipped, except under CI, where they must run.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/model_builder.h"
#include "tests/support/program_runner.h"

namespace {

const std::string kSamplePath = std::string(SPROING_SOURCE_DIR) + "/examples/crate01.mdl";
const char kOutput[] = "crate01_jiggles.qci";
const char kEarlier[] = "an earlier output file, to be kept byte for byte\n";
const std::string kCannotWrite = std::string("Cannot write ") + kOutput + "\n";

bool underCi() {
  const char* ci = std::getenv("CI");
  return ci != nullptr && std::string(ci) == "true";
}

bool run(const std::string& command) { return std::system((command + " 2>/dev/null").c_str()) == 0; }

#define REQUIRE_ROOT()                                                        \
  do {                                                                        \
    if (geteuid() != 0) {                                                     \
      if (underCi()) FAIL() << "this test needs root, and CI runs as root";   \
      GTEST_SKIP() << "needs root to mount a file system";                    \
    }                                                                         \
  } while (false)

class FileSystemFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = makeScratchFolder();
    work = folder + "/work";
    std::filesystem::create_directory(work);
  }
  void TearDown() override {
    if (mounted) run("umount " + work);
    removeFolder(folder);
  }

  void mount(const std::string& command) {
    mounted = run(command);
    if (!mounted && underCi()) FAIL() << "cannot mount: " << command;
    if (!mounted) GTEST_SKIP() << "cannot mount here: " << command;
  }

  // Definitions far larger than the room the tests leave (some hundreds of KiB of text), so the
  // write fails while bones are still being rendered rather than when the file is closed.
  void writeBigModel() {
    ModelPlan plan = sampleModelPlan();
    plan.name = "big.mdl";
    JigglePlan everything;
    everything.flags = JiggleBit::kFlexibleTip | JiggleBit::kRigidTip | JiggleBit::kYawLimited |
                       JiggleBit::kPitchLimited | JiggleBit::kAngleLimited | JiggleBit::kBaseSpring;
    plan.bones.assign(400, jiggleBone("bone", everything));
    writeFile(folder + "/big.mdl", bytesOf(buildModel(plan).bytes));
  }

  // Runs the tool in the work folder: the failure alone, with no other line since no bone
  // was written; only `kept` left there, `earlier` (if any) byte for byte as it was.
  void expectFailure(const std::vector<std::string>& arguments, int status, const std::string& output,
                     const std::vector<std::string>& kept, const std::string& earlier = kOutput,
                     const ProgramRunOptions& options = {}) {
    const ProgramRun result = runProgram(arguments, work, options);
    EXPECT_EQ(result.status, status);
    EXPECT_EQ(withoutCarriageReturns(result.output), output);
    EXPECT_EQ(result.errors, "");
    EXPECT_EQ(folderEntries(work), kept);
    if (!earlier.empty()) {
      EXPECT_EQ(readFile(work + "/" + earlier), kEarlier);
    }
  }

  std::string folder;
  std::string work;  // the tool's current folder
  bool mounted = false;
};

TEST_F(FileSystemFaults, OutputFolderFull) {
  REQUIRE_ROOT();
  mount("mount -t tmpfs -o size=64k tmpfs " + work);
  writeFile(work + "/" + kOutput, kEarlier);
  std::FILE* filler = std::fopen((work + "/filler").c_str(), "wb");
  ASSERT_NE(filler, nullptr);
  const std::string block(4096, 'f');
  while (std::fwrite(block.data(), 1, block.size(), filler) == block.size() &&
         std::fflush(filler) == 0) {
  }
  std::fclose(filler);
  expectFailure({kSamplePath}, 8, kCannotWrite, {kOutput, "filler"});
}

// A folder with less room than the definitions need.
TEST_F(FileSystemFaults, OutputFolderFillingUpMidway) {
  REQUIRE_ROOT();
  writeBigModel();
  mount("mount -t tmpfs -o size=64k tmpfs " + work);
  writeFile(work + "/big_jiggles.qci", kEarlier);
  expectFailure({folder + "/big.mdl"}, 8, "Cannot write big_jiggles.qci\n", {"big_jiggles.qci"}, "big_jiggles.qci");
}

// The same failure without root: a limit on the size of any file the tool writes. The
// console text fits under it, the definitions do not.
TEST_F(FileSystemFaults, FileSizeLimitReachedMidway) {
  writeBigModel();
  writeFile(work + "/big_jiggles.qci", kEarlier);
  ProgramRunOptions options;
  options.fileSizeLimit = 64 * 1024;
  expectFailure({folder + "/big.mdl"}, 8, "Cannot write big_jiggles.qci\n", {"big_jiggles.qci"}, "big_jiggles.qci",
                options);
}

TEST_F(FileSystemFaults, ReadOnlyCurrentFolder) {
  REQUIRE_ROOT();
  const std::string source = folder + "/source";
  std::filesystem::create_directory(source);
  writeFile(source + "/" + kOutput, kEarlier);
  mount("mount --bind " + source + " " + work + " && mount -o remount,bind,ro " + work);
  expectFailure({kSamplePath}, 8, kCannotWrite, {kOutput});
}

TEST_F(FileSystemFaults, FolderWhereTheOutputShouldGo) {
  std::filesystem::create_directory(work + "/" + kOutput);
  writeFile(work + "/" + kOutput + "/inside", kEarlier);
  expectFailure({kSamplePath}, 8, kCannotWrite, {kOutput}, "");
  EXPECT_EQ(readFile(work + "/" + kOutput + "/inside"), kEarlier);
}

// Files that cannot be read, each named by a path of its own in the work folder.
TEST_F(FileSystemFaults, ModelsThatCannotBeRead) {
  writeFile(work + "/" + kOutput, kEarlier);
  std::filesystem::create_directory(work + "/folder.mdl");
  std::filesystem::create_symlink("/proc/self/mem", work + "/unreadable.mdl");
  std::filesystem::create_symlink(work + "/nowhere", work + "/dangling.mdl");
  ASSERT_EQ(mkfifo((work + "/pipe.mdl").c_str(), 0600), 0) << errno;
  std::vector<std::string> names = {"folder.mdl", "unreadable.mdl", "dangling.mdl", "pipe.mdl",
                                    "missing.mdl"};
  if (geteuid() != 0) {  // root reads whatever its mode says
    writeFile(work + "/forbidden.mdl", readFile(kSamplePath));
    ASSERT_EQ(chmod((work + "/forbidden.mdl").c_str(), 0), 0);
    names.push_back("forbidden.mdl");
  }
  const std::vector<std::string> kept = folderEntries(work);
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    expectFailure({name}, 6, "Cannot read " + name + "\n", kept);
  }
}

}  // namespace

// Every allocation a dump and an apply make, failed in turn: each run then ends with status
// 6 and words that say memory could not be had for which file (or, where the memory was
// only for speed, as if nothing had failed), writes nothing, and holds nothing after.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/disk_files.h"
#include "run/console_lines.h"
#include "tests/support/in_memory.h"
#include "tests/support/test_files.h"
#include "tests/support/model_builder.h"

namespace {

// An older layout, so that the apply reads from a copy of its own, as it does for most
// downloaded models.
std::vector<unsigned char> olderSample() {
  ModelPlan plan = sampleModelPlan();
  plan.version = 46;
  plan.descriptors.assign(2, {});
  return buildModel(plan).bytes;
}

bool isOneOf(const std::string& line, std::initializer_list<const char*> lines) {
  for (const char* one : lines) {
    if (line == one) return true;
  }
  return false;
}

TEST(FailingMemory, EachAllocationOfADump) {
  const std::vector<unsigned char> model = olderSample();
  FailingMemory counting;
  const DumpedModel sound = dumpInMemory(model, &counting);
  ASSERT_EQ(sound.status, 0);
  ASSERT_GE(counting.asked, 2U);  // the model and the text's buffer
  for (std::size_t n = 1; n <= counting.asked; ++n) {
    FailingMemory failing{n};
    const DumpedModel run = dumpInMemory(model, &failing);
    EXPECT_EQ(run.status, 6) << "allocation " << n;
    EXPECT_TRUE(isOneOf(run.console, {"Not enough memory to read m.mdl\n",
                                      "Not enough memory to write crate01_jiggles.qci\n"}))
        << "allocation " << n << ": " << run.console;
    EXPECT_EQ(run.text.file, "") << "allocation " << n;
    EXPECT_EQ(failing.held, 0U) << "allocation " << n;
  }
}

TEST(FailingMemory, EachAllocationOfAnApply) {
  const std::vector<unsigned char> model = olderSample();
  // A change, a block skipped and a warning: every list the apply keeps grows.
  std::string edits = readFixture("crate01_jiggles.qci");
  edits.replace(edits.find("yaw_stiffness 100"), 17, "yaw_stiffness -150");
  edits += "$jigglebone \"no_such_bone\" {\n}\n";
  FailingMemory counting;
  const AppliedModel sound = applyInMemory(model, edits, true, &counting);
  ASSERT_EQ(sound.status, 0) << sound.console;
  ASSERT_GE(counting.asked, 8U);
  for (std::size_t n = 1; n <= counting.asked; ++n) {
    FailingMemory failing{n};
    const AppliedModel run = applyInMemory(model, edits, true, &failing);
    if (run.status == 0) {
      EXPECT_EQ(run.console, sound.console) << "allocation " << n;  // the memory was only for speed
      EXPECT_EQ(run.bytes, sound.bytes) << "allocation " << n;
    } else {
      EXPECT_EQ(run.status, 6) << "allocation " << n;
      EXPECT_TRUE(isOneOf(run.console, {"Not enough memory to read m.mdl\n", "Not enough memory to read e.qci\n",
                                        "Not enough memory to apply e.qci\n", "Not enough memory to write out.mdl\n"}))
          << "allocation " << n << ": " << run.console;
      EXPECT_EQ(run.bytes, model) << "allocation " << n;
    }
    EXPECT_EQ(failing.held, 0U) << "allocation " << n;
  }
}

// A model read from disk takes its memory from the same hook: its failure is the run's.
TEST(FailingMemory, ADiskLoad) {
  DiskOutput output;
  RunFiles files = diskFiles(output);
  FailingMemory failing{1};
  files.memory = failingMemoryHook(failing);
  DumpRequest request;
  request.modelPath = SPROING_SOURCE_DIR "/examples/crate01.mdl";
  request.outputPath = "never_written.qci";
  DumpResult result = runDump(request, files);
  EXPECT_EQ(renderToString([&](ByteSink& console) { renderDumpLines(request, result, console); }),
            std::string("Not enough memory to read ") + request.modelPath + "\n");
  releaseDumpResult(result, files);
  EXPECT_EQ(failing.held, 0U);
}

}  // namespace

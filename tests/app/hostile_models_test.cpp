// Hostile headers and tables, run through the built tool: each is refused with its status
// and message, or, where it is harmless, written like the sound model; an earlier output
// file survives every refusal byte for byte and nothing is left behind.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/support/model_builder.h"
#include "tests/support/program_runner.h"

namespace {

const char kOutput[] = "crate01_jiggles.qci";
const char kEarlier[] = "an earlier output file\n";

std::size_t boneAt(const BuiltModel& m, std::size_t i) { return m.boneTable + i * BoneLayout::kSize; }

// The sample model, with three descriptors laid after its records.
BuiltModel sample() {
  ModelPlan plan = sampleModelPlan();
  plan.descriptors.assign(3, {});
  return buildModel(plan);
}

// Names and records first, so that the bone table is the last thing in the file.
BuiltModel boneTableLast() {
  ModelPlan plan = sampleModelPlan();
  plan.recordsBeforeBones = true;
  plan.descriptors.clear();
  return buildModel(plan);
}

void pointNameAtEnd(BuiltModel& m, std::size_t bone, const std::string& name, bool withNul) {
  const std::size_t at = m.bytes.size();
  m.bytes.insert(m.bytes.end(), name.begin(), name.end());
  if (withNul) m.bytes.push_back(0);
  putInt32(m.bytes, boneAt(m, bone) + BoneLayout::kNameOffset,
           static_cast<std::int32_t>(at - boneAt(m, bone)));
}

struct Case {
  const char* title;
  std::function<BuiltModel()> make;
  const char* damage;  // nullptr: written like the sound sample
};

// What the damage checks find is tested in memory (model_bounds_test, and every truncation
// in truncated_models_test); these are the few that the whole tool must also show: a
// refusal early and one late in the file, and models that end exactly where the last thing
// read ends.
const Case kCases[] = {
    {"header one byte short",
     [] {
       BuiltModel m = sample();
       m.bytes.resize(HeaderLayout::kUsedSize - 1);
       return m;
     },
     "the header lies outside the file"},
    {"jiggle record straddling the end",
     [] {
       BuiltModel m = sample();
       putInt32(m.bytes, HeaderLayout::kAnimCount, 0);
       m.bytes.resize(m.boneRules[2] + JiggleLayout::kSize - 1);
       return m;
     },
     "bone 2's jiggle parameters lie outside the file"},
    {"bone name without its NUL at the end",
     [] {
       BuiltModel m = sample();
       pointNameAtEnd(m, 2, "tail_2", false);
       return m;
     },
     "bone 2's name runs past the end of the file"},
    {"bone table ending exactly at the end", [] { return boneTableLast(); }, nullptr},
    {"bone name whose NUL is the file's last byte",
     [] {
       BuiltModel m = sample();
       pointNameAtEnd(m, 2, "tail_2", true);
       return m;
     },
     nullptr},
};

TEST(HostileModels, AreRefusedOrWrittenAsSound) {
  const std::string folder = makeScratchFolder();
  // The sound sample's text and console, as the fixtures have them.
  const std::string soundText = readFixture("crate01_jiggles.qci");
  const std::string soundConsole = readFixture("crate01.stdout");

  for (const Case& c : kCases) {
    writeFile(folder + "/hostile.mdl", bytesOf(c.make().bytes));
    writeFile(folder + "/" + kOutput, kEarlier);
    const auto before = folderEntries(folder);
    const ProgramRun result = runProgram({"hostile.mdl"}, folder);
    if (c.damage != nullptr) {
      EXPECT_EQ(result.status, 7) << c.title;
      EXPECT_EQ(withoutCarriageReturns(result.output),
                std::string("hostile.mdl is damaged: ") + c.damage + "\n")
          << c.title;
      EXPECT_EQ(readFile(folder + "/" + kOutput), kEarlier) << c.title;
    } else {
      EXPECT_EQ(result.status, 0) << c.title;
      EXPECT_EQ(withoutCarriageReturns(result.output), soundConsole) << c.title;
      EXPECT_EQ(withoutCarriageReturns(readFile(folder + "/" + kOutput)), soundText) << c.title;
    }
    EXPECT_EQ(result.errors, "") << c.title;
    EXPECT_EQ(folderEntries(folder), before) << c.title;  // no temporary file left
  }
  removeFolder(folder);
}

}  // namespace

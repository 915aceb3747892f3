// Hostile headers and tables, run through the built tool: each is refused with its status
// and message, or, where it is harmless, written like the sound model; an earlier output
// file survives every refusal byte for byte and nothing is left behind.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/model_builder.h"
#include "tests/support/program_runner.h"

namespace {

const char kOutput[] = "crate01_jiggles.qci";
const char kEarlier[] = "an earlier output file\n";

// The sample model with three descriptors laid after its records; or, with `recordsFirst`,
// its names and records first and no descriptors, so that the bone table ends the file.
BuiltModel sample(bool recordsFirst = false) {
  ModelPlan plan = sampleModelPlan();
  plan.recordsBeforeBones = recordsFirst;
  plan.descriptors.assign(recordsFirst ? 0 : 3, {});
  return buildModel(plan);
}

// The sample with bone 2's name "tail_2" moved to the end of the file, with its NUL or without.
BuiltModel nameAtEnd(bool withNul) {
  BuiltModel m = sample();
  const std::size_t at = m.bytes.size();
  const std::size_t bone = m.boneTable + 2 * BoneLayout::kSize;
  for (const char c : std::string("tail_2")) m.bytes.push_back(static_cast<unsigned char>(c));
  if (withNul) m.bytes.push_back(0);
  putInt32(m.bytes, bone + BoneLayout::kNameOffset, static_cast<std::int32_t>(at - bone));
  return m;
}

// What the damage checks find is tested in memory (model_bounds_test, and every truncation
// in truncated_models_test); these are the few that the whole tool must also show: a
// refusal early and one late in the file, and models that end exactly where the last thing
// read ends.
TEST(HostileModels, AreRefusedOrWrittenAsSound) {
  BuiltModel shortHeader = sample();
  shortHeader.bytes.resize(HeaderLayout::kUsedSize - 1);
  BuiltModel straddling = sample();
  putInt32(straddling.bytes, HeaderLayout::kAnimCount, 0);
  straddling.bytes.resize(straddling.boneRules[2] + JiggleLayout::kSize - 1);
  struct Case {
    const char* title;
    std::vector<unsigned char> bytes;
    const char* damage;  // nullptr: written like the sound sample
  } const cases[] = {
      {"header one byte short", shortHeader.bytes, "the header lies outside the file"},
      {"jiggle record straddling the end", straddling.bytes, "bone 2's jiggle parameters lie outside the file"},
      {"bone name without its NUL at the end", nameAtEnd(false).bytes, "bone 2's name runs past the end of the file"},
      {"bone table ending exactly at the end", sample(true).bytes, nullptr},
      {"bone name whose NUL is the file's last byte", nameAtEnd(true).bytes, nullptr},
  };
  const std::string folder = makeScratchFolder();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    writeFile(folder + "/hostile.mdl", bytesOf(c.bytes));
    writeFile(folder + "/" + kOutput, kEarlier);
    const auto before = folderEntries(folder);
    const ProgramRun result = runProgram({"hostile.mdl"}, folder);
    if (c.damage != nullptr) {
      EXPECT_EQ(result.status, 7);
      EXPECT_EQ(withoutCarriageReturns(result.output), std::string("hostile.mdl is damaged: ") + c.damage + "\n");
      EXPECT_EQ(readFile(folder + "/" + kOutput), kEarlier);
    } else {  // the sound sample's text and console, as the fixtures have them
      EXPECT_EQ(result.status, 0);
      EXPECT_EQ(withoutCarriageReturns(result.output), readFixture("crate01.stdout"));
      EXPECT_EQ(withoutCarriageReturns(readFile(folder + "/" + kOutput)), readFixture("crate01_jiggles.qci"));
    }
    EXPECT_EQ(result.errors, "");
    EXPECT_EQ(folderEntries(folder), before);  // no temporary file left
  }
  removeFolder(folder);
}

}  // namespace

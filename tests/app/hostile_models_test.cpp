// Hostile headers and tables, run through the built tool: each is refused with its status
// and message, or, where it is harmless, written like the sound model; an earlier output
// file survives every refusal byte for byte and nothing is left behind.
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>

#include "tests/support/model_builder.h"
#include "tests/support/tool_runner.h"

namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
const char kOutput[] = "crate01_jiggles.qci";
const char kEarlier[] = "an earlier output file\n";

std::size_t boneAt(const BuiltModel& m, std::size_t i) { return m.boneTable + i * BoneLayout::kSize; }

std::int32_t int32Of(std::size_t value) { return static_cast<std::int32_t>(value); }

// The sample model at a version, with three descriptors laid after its records.
BuiltModel sampleAt(std::int32_t version) {
  ModelPlan plan = sampleModelPlan();
  plan.version = version;
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
  putInt32(m.bytes, boneAt(m, bone) + BoneLayout::kNameOffset, int32Of(at - boneAt(m, bone)));
}

struct Case {
  const char* title;
  std::function<BuiltModel()> make;
  const char* damage;  // nullptr: written like the sound sample
};

const Case kCases[] = {
    {"bone count 2^31-1 over a bare header",
     [] {
       BuiltModel m = sampleAt(48);
       m.bytes.resize(HeaderLayout::kUsedSize);
       putInt32(m.bytes, HeaderLayout::kBoneCount, kMax);
       return m;
     },
     "the bone table lies outside the file"},
    {"descriptor count 2^31-1 over a bare header, version 45",
     [] {
       BuiltModel m = sampleAt(45);
       m.bytes.resize(HeaderLayout::kRetiredWord + 4);
       putInt32(m.bytes, HeaderLayout::kBoneCount, 0);
       putInt32(m.bytes, HeaderLayout::kAnimCount, kMax);
       return m;
     },
     "the animation descriptor table lies outside the file"},
    {"header one byte short",
     [] {
       BuiltModel m = sampleAt(48);
       m.bytes.resize(HeaderLayout::kUsedSize - 1);
       return m;
     },
     "the header lies outside the file"},
    {"retired word one byte short, version 46",
     [] {
       BuiltModel m = sampleAt(46);
       m.bytes.resize(HeaderLayout::kRetiredWord + 3);
       return m;
     },
     "the header's retired word lies outside the file"},
    {"bone table at INT32_MIN",
     [] {
       BuiltModel m = sampleAt(48);
       putInt32(m.bytes, HeaderLayout::kBoneTableOffset, kMin);
       return m;
     },
     "the bone table lies outside the file"},
    {"bone table at INT32_MAX",
     [] {
       BuiltModel m = sampleAt(48);
       putInt32(m.bytes, HeaderLayout::kBoneTableOffset, kMax);
       return m;
     },
     "the bone table lies outside the file"},
    {"bone table ending exactly at the end", [] { return boneTableLast(); }, nullptr},
    {"bone table ending one byte past the end",
     [] {
       BuiltModel m = boneTableLast();
       m.bytes.pop_back();
       return m;
     },
     "the bone table lies outside the file"},
    {"descriptor table at INT32_MIN, version 46",
     [] {
       BuiltModel m = sampleAt(46);
       putInt32(m.bytes, HeaderLayout::kAnimTableOffset, kMin);
       return m;
     },
     "the animation descriptor table lies outside the file"},
    {"descriptor table at INT32_MAX, version 47",
     [] {
       BuiltModel m = sampleAt(47);
       putInt32(m.bytes, HeaderLayout::kAnimTableOffset, kMax);
       return m;
     },
     "the animation descriptor table lies outside the file"},
    {"descriptor table ending exactly at the end, version 45", [] { return sampleAt(45); }, nullptr},
    {"descriptor table ending one byte past the end, version 45",
     [] {
       BuiltModel m = sampleAt(45);
       m.bytes.pop_back();
       return m;
     },
     "the animation descriptor table lies outside the file"},
    {"descriptor table ending one byte past the end, version 46",
     [] {
       BuiltModel m = sampleAt(46);
       m.bytes.pop_back();
       return m;
     },
     "the animation descriptor table lies outside the file"},
    {"descriptor table ending one byte past the end, version 47",
     [] {
       BuiltModel m = sampleAt(47);
       m.bytes.pop_back();
       return m;
     },
     "the animation descriptor table lies outside the file"},
    {"descriptor table out of range is harmless for version 48",
     [] {
       BuiltModel m = sampleAt(48);
       putInt32(m.bytes, HeaderLayout::kAnimCount, kMax);
       putInt32(m.bytes, HeaderLayout::kAnimTableOffset, kMin);
       return m;
     },
     nullptr},
    {"descriptor table out of range is harmless for version 49",
     [] {
       BuiltModel m = sampleAt(49);
       putInt32(m.bytes, HeaderLayout::kAnimTableOffset, kMax);
       return m;
     },
     nullptr},
    {"name offset of INT32_MIN",
     [] {
       BuiltModel m = sampleAt(48);
       putInt32(m.bytes, boneAt(m, 1) + BoneLayout::kNameOffset, kMin);
       return m;
     },
     "bone 1's name lies outside the file"},
    {"name offset of INT32_MAX",
     [] {
       BuiltModel m = sampleAt(48);
       putInt32(m.bytes, boneAt(m, 2) + BoneLayout::kNameOffset, kMax);
       return m;
     },
     "bone 2's name lies outside the file"},
    {"rule offset of INT32_MIN",
     [] {
       BuiltModel m = sampleAt(48);
       putInt32(m.bytes, boneAt(m, 1) + BoneLayout::kRuleOffset, kMin);
       return m;
     },
     "bone 1's jiggle parameters lie outside the file"},
    {"rule offset of INT32_MAX",
     [] {
       BuiltModel m = sampleAt(48);
       putInt32(m.bytes, boneAt(m, 2) + BoneLayout::kRuleOffset, kMax);
       return m;
     },
     "bone 2's jiggle parameters lie outside the file"},
    {"jiggle record ending exactly at the end",
     [] {
       BuiltModel m = sampleAt(48);
       putInt32(m.bytes, HeaderLayout::kAnimCount, 0);
       m.bytes.resize(m.boneRules[2] + JiggleLayout::kSize);
       return m;
     },
     nullptr},
    {"jiggle record straddling the end",
     [] {
       BuiltModel m = sampleAt(48);
       putInt32(m.bytes, HeaderLayout::kAnimCount, 0);
       m.bytes.resize(m.boneRules[2] + JiggleLayout::kSize - 1);
       return m;
     },
     "bone 2's jiggle parameters lie outside the file"},
    {"model name filling its field without a NUL",
     [] {
       BuiltModel m = sampleAt(48);
       std::fill_n(m.bytes.begin() + HeaderLayout::kName, HeaderLayout::kNameWidth, 'n');
       return m;
     },
     "the model name runs past the end of its field"},
    {"bone name whose NUL is the file's last byte",
     [] {
       BuiltModel m = sampleAt(48);
       pointNameAtEnd(m, 2, "tail_2", true);
       return m;
     },
     nullptr},
    {"bone name without its NUL at the end",
     [] {
       BuiltModel m = sampleAt(48);
       pointNameAtEnd(m, 2, "tail_2", false);
       return m;
     },
     "bone 2's name runs past the end of the file"},
    {"bone name longer than 4096 characters",
     [] {
       BuiltModel m = sampleAt(48);
       pointNameAtEnd(m, 1, std::string(4097, 'n'), true);
       return m;
     },
     "bone 1's name is longer than 4096 characters"},
};

TEST(HostileModels, AreRefusedOrWrittenAsSound) {
  const std::string folder = makeScratchFolder();
  writeFile(folder + "/sound.mdl", bytesOf(sampleAt(48).bytes));
  const ToolRun sound = runTool({"sound.mdl"}, folder);
  ASSERT_EQ(sound.status, 0);
  const std::string soundText = readFile(folder + "/" + kOutput);

  for (const Case& c : kCases) {
    writeFile(folder + "/hostile.mdl", bytesOf(c.make().bytes));
    writeFile(folder + "/" + kOutput, kEarlier);
    const auto before = folderEntries(folder);
    const ToolRun result = runTool({"hostile.mdl"}, folder);
    if (c.damage != nullptr) {
      EXPECT_EQ(result.status, 7) << c.title;
      EXPECT_EQ(withoutCarriageReturns(result.output),
                std::string("hostile.mdl is damaged: ") + c.damage + "\n")
          << c.title;
      EXPECT_EQ(readFile(folder + "/" + kOutput), kEarlier) << c.title;
    } else {
      EXPECT_EQ(result.status, 0) << c.title;
      EXPECT_EQ(result.output, sound.output) << c.title;
      EXPECT_EQ(readFile(folder + "/" + kOutput), soundText) << c.title;
    }
    EXPECT_EQ(result.errors, "") << c.title;
    EXPECT_EQ(folderEntries(folder), before) << c.title;  // no temporary file left
  }
  removeFolder(folder);
}

}  // namespace

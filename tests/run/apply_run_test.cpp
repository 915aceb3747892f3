// Edits applied in memory to builder models, then dumped again: the dump must show exactly
// the edit, the console name each change, and no byte outside the edited records move.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/in_memory.h"
#include "tests/support/test_files.h"
#include "tests/support/model_builder.h"

namespace {

std::string dump(const std::vector<unsigned char>& bytes) {
  const DumpedModel dumped = dumpInMemory(bytes);
  EXPECT_EQ(dumped.status, 0);
  return dumped.text.file;
}

const std::string kSample = readFixture("crate01_jiggles.qci");

// The sample's text with one piece replaced; the piece must be there.
std::string replaced(const std::string& text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? text : text.substr(0, at) + to + text.substr(at + from.size());
}

const std::string kSpring =
    "\n\thas_base_spring {\n\t\tbase_mass 2\n\t\tstiffness 300\n\t\tdamping 10\n"
    "\t\tleft_constraint -1.5 1.5\n\t\tleft_friction 0.2\n\t\tup_constraint -2 2\n"
    "\t\tup_friction 0.3\n\t\tforward_constraint -0.5 0.5\n\t\tforward_friction 0.1\n\t}\n";

TEST(ApplyRun, EachKindOfEditShowsInTheDumpAndOnTheConsole) {
  const std::string tail1Tip = kSample.substr(kSample.find("\tis_flexible {"),
                                              kSample.find("}\n\n") - kSample.find("\tis_flexible {"));
  struct Case {
    const char* title;
    std::string edits;  // also what the dump must then show
    const char* console;
  } const cases[] = {
      {"a value", replaced(kSample, "yaw_stiffness 100", "yaw_stiffness 150"),
       "Changed tail_1: yaw_stiffness 100 -> 150\n"},
      {"a limit group removed", replaced(kSample, "\t\tyaw_constraint -30 30\n\t\tyaw_friction 1\n", ""),
       "Warning e.qci:1: tail_1 loses its yaw limit: write yaw_constraint -30 30 in its is_flexible block to keep it\n"
       "Changed tail_1: yaw_constraint -30 30 -> (none), yaw_friction 1 -> (none)\ntail_1: yaw limit removed\n"},
      {"a limit group added",
       replaced(kSample, "\t\tpitch_constraint -20 20\n", "\t\tyaw_constraint -7 9\n\t\tyaw_friction 2\n\t\tpitch_constraint -20 20\n"),
       "Changed tail_2: yaw_constraint (none) -> -7 9, yaw_friction (none) -> 2\n"},
      {"a base spring removed", replaced(kSample, kSpring, ""), nullptr},
      {"a base spring added", replaced(kSample, "\t}\n}\n\n$jigglebone \"tail_2\"", "\t}\n" + kSpring + "}\n\n$jigglebone \"tail_2\""),
       nullptr},
      {"a tip switched",
       replaced(kSample, tail1Tip,
                "\tis_rigid {\n\t\tlength 12\n\t\ttip_mass 0.5\n\t\tyaw_constraint -30 30\n\t\tyaw_friction 1\n"
                "\t\tangle_constraint 45\n\t}\n"),
       "Warning e.qci:1: tail_1 loses its is_flexible block: write is_flexible { } in its $jigglebone block to keep it\n"
       "Changed tail_1: is_flexible removed, is_rigid added, yaw_stiffness 100 -> (none), yaw_damping 5 -> (none), "
       "pitch_stiffness 100 -> (none), pitch_damping 5 -> (none), along_stiffness 50 -> (none), "
       "along_damping 2 -> (none)\n"},
      {"an empty block", replaced(kSample, kSample.substr(kSample.find("$jigglebone \"tail_2\"")), "$jigglebone \"tail_2\" {\n}\n\n"),
       nullptr},
  };
  const std::vector<unsigned char> model = buildModel(sampleModelPlan()).bytes;
  for (const Case& c : cases) {
    const AppliedModel result = applyInMemory(model, c.edits);
    ASSERT_EQ(result.status, 0) << c.title << ": " << result.console;
    EXPECT_EQ(dump(result.bytes), c.edits) << c.title;
    if (c.console != nullptr) {
      EXPECT_EQ(result.console, c.console) << c.title;
    }
    // After the warnings of what goes, if any.
    EXPECT_EQ(result.console.find("Changed tail_"), result.console.rfind("Warning ") == std::string::npos
                                                        ? 0U
                                                        : result.console.find('\n', result.console.rfind("Warning ")) + 1)
        << c.title;
  }
}

// People write by hand what the writer writes in one layout: any blanks, CR LF, comments,
// bare names, braces on lines of their own, any order, signs and exponents.
TEST(ApplyRun, HandWrittenEditsGiveTheSameBytes) {
  const std::vector<unsigned char> model = buildModel(sampleModelPlan()).bytes;
  const std::string byHand =
      "\xEF\xBB\xBF// tail_1 softer\r\n$jigglebone tail_1\r\n{\r\n  is_flexible\r\n  {\r\n"
      "    angle_constraint 45.0 // whole degrees\r\n    yaw_constraint  -3e1\t+30\r\n"
      "    yaw_friction 1.0\n    length 12 tip_mass .5\n    yaw_stiffness +1.5E2\n"
      "    yaw_damping 5 }\r\n}\r\n"
      "$jigglebone\"tail_2\"{is_rigid{pitch_constraint -20 20 pitch_bounce 0.1 pitch_friction 0.5}\n"
      "has_base_spring{}}";
  const std::string asWritten = replaced(kSample, "yaw_stiffness 100", "yaw_stiffness 150");
  const AppliedModel written = applyInMemory(model, asWritten);
  const AppliedModel hand = applyInMemory(model, byHand);
  ASSERT_EQ(hand.status, 0) << hand.console;
  EXPECT_EQ(hand.bytes, written.bytes);
  EXPECT_EQ(hand.console, "Changed tail_1: yaw_stiffness 100 -> 150\n");
}

TEST(ApplyRun, ChangesNoByteOutsideTheEditedRecordsAndNoFlagBitItDoesNotShow) {
  ModelPlan plan = sampleModelPlan();
  plan.bones[2].rule->flags |= 0x20 | 0x100;  // bits the text does not show
  plan.bones[2].rule->set(JiggleLayout::kUnread, 7.0f);
  const BuiltModel built = buildModel(plan);
  const std::vector<unsigned char> original = buildModel(plan).bytes;
  std::vector<unsigned char> model = original;
  putInt32(model, built.boneRules[2] + JiggleLayout::kUnread, 0x5EED5EED);
  const std::string edits =
      "$jigglebone tail_2 { is_flexible { yaw_stiffness 1 yaw_damping 2 pitch_stiffness 3 "
      "pitch_damping 4 along_stiffness 5 along_damping 6 length 7 tip_mass 8 "
      "yaw_constraint 9 10 yaw_friction 11 angle_constraint 12 pitch_constraint 13 14\n"
      "pitch_friction 15 pitch_bounce 16 }\n has_base_spring { base_mass 17 stiffness 18\n"
      "damping 19 left_constraint 20 21 left_friction 22 up_constraint 23 24 up_friction 25\n"
      "forward_constraint 26 27 forward_friction 28 } }";
  const AppliedModel result = applyInMemory(model, edits);
  ASSERT_EQ(result.status, 0) << result.console;
  const std::size_t record = built.boneRules[2];
  for (std::size_t i = 0; i < model.size(); ++i) {
    if (i >= record && i < record + JiggleLayout::kSize && (i - record) / 4 != JiggleLayout::kUnread / 4) continue;
    ASSERT_EQ(result.bytes[i], model[i]) << "byte " << i;
  }
  EXPECT_EQ(getInt32(result.bytes, record + JiggleLayout::kFlags),
            static_cast<std::int32_t>(0x20 | 0x100 | JiggleBit::kFlexibleTip | JiggleBit::kYawLimited |
                                      JiggleBit::kPitchLimited | JiggleBit::kAngleLimited | JiggleBit::kBaseSpring));
  EXPECT_NE(result.bytes, model);
}

TEST(ApplyRun, RefusesWithTheLineAndWhatIsWrong) {
  // Lines are counted through blocks that come back as written, with either line end.
  std::string crlf;
  for (const char c : kSample) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  const std::string kMissingAfterTheSample =
      "e.qci:39: no bone tail_9 in this model; to skip the bones a model lacks, add --skip-missing-bones\n";
  ModelPlan twins = sampleModelPlan();
  twins.bones[0].name = "tail_tip";  // shared with the last, plain bone
  struct Case {
    std::string edits;
    std::string message;
    bool twins = false;  // in the model whose first bone shares the name of the last
  } const cases[] = {
      {"$jigglebone tail_1 {\n is_flexible {\n}\n",
       "e.qci:1: the block of tail_1 opened at line 1 is not closed before the end of the text\n"},
      {"$jigglebone tail_1 { }\n}", "e.qci:2: expected $jigglebone, found \"}\"\n"},
      {"$jigglebone \"tail_1 {\n}", "e.qci:1: a quoted name is not closed on its line\n"},
      {"$jigglebone tail_1 {\n is_flexible {\n  yaw_stiffness\n  }\n}", "e.qci:3: yaw_stiffness needs a number, found \"}\"\n"},
      {"$jigglebone tail_1 { is_flexible { yaw_constraint 1 2 3 } }", "e.qci:1: yaw_constraint needs 2 values, found 3\n"},
      {"$jigglebone tail_1 { is_rigid { yaw_stiffness 1 } }", "e.qci:1: yaw_stiffness belongs in is_flexible, not is_rigid\n"},
      {"$jigglebone tail_1 { is_rigid { } is_rigid { } }", "e.qci:1: is_rigid stands twice in one $jigglebone\n"},
      {"$jigglebone tail_1 { }\n\n$jigglebone tail_1 { }", "e.qci:3: tail_1 is named a second time (first on line 1)\n"},
      {"$jigglebone tail_9 { }", "e.qci:1: no bone tail_9 in this model\n"},
      {"$jigglebone root { }",
       "e.qci:1: root has no jiggle rule: adding a jiggle rule needs the model rebuilt from its source\n"},
      {"$jigglebone tail_1 { is_flexible { length nan } }", "e.qci:1: nan is not a number\n"},
      {"$jigglebone tail_1 { is_flexible { length 4e38 } }",
       "e.qci:1: 4e38 is beyond the largest value a model can hold\n"},
      {"$jigglebone tail_2 { is_flexible { length 8 }\n is_rigid { length 9 } }",
       "e.qci:2: length is given two different values, here and on line 1\n"},
      {"$jigglebone tail_2 { is_rigid { tip_mass 0.25 tip_mass 0.5 } }",
       "e.qci:1: tip_mass is given two different values, here and on line 1\n"},
      {kSample + "$jigglebone tail_9 { }", kMissingAfterTheSample},
      {crlf + "$jigglebone tail_9 { }", kMissingAfterTheSample},
      {"$jigglebone tail_tip { }", "e.qci:1: tail_tip names more than one bone of this model\n", true},
  };
  const std::vector<unsigned char> model = buildModel(sampleModelPlan()).bytes;
  for (const Case& c : cases) {
    const AppliedModel result = applyInMemory(c.twins ? buildModel(twins).bytes : model, c.edits);
    EXPECT_EQ(result.status, 10) << c.edits;
    EXPECT_EQ(result.console, c.message) << c.edits;
  }
}

}  // namespace

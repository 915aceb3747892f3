// What an edits text means, as a modder writes one: the rules of a block, the source text
// around it, the words of every refusal and warning, and what --skip-missing-bones skips.
// Each row is an edits text applied to the sample and the exact console it must give.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/in_memory.h"
#include "tests/support/model_builder.h"

namespace {

std::string readFixture(const char* name) {
  std::ifstream in(std::string(SPROING_SOURCE_DIR "/tests/fixtures/") + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const std::string kSample = readFixture("crate01_jiggles.qci");

std::string without(const std::string& text, const std::string& piece) {
  const std::size_t at = text.find(piece);
  EXPECT_NE(at, std::string::npos) << piece;
  return at == std::string::npos ? text : text.substr(0, at) + text.substr(at + piece.size());
}

std::string repeated(const std::string& piece, std::size_t times) {
  std::string text;
  for (std::size_t i = 0; i < times; ++i) text += piece;
  return text;
}

const char kPitchAlone[] =
    " needs pitch_constraint in the same block: write pitch_constraint to keep the pitch limit, or leave "
    "out pitch_friction and pitch_bounce to remove it\n";

TEST(EditsLanguage, EachRuleMessageAndWarning) {
  struct Case {
    const char* title;
    std::string edits;
    int status;
    std::string console;
    bool skipMissingBones = false;
  } const cases[] = {
      // The rules of a block.
      {"a limit's line left out removes it, said in words",
       "$jigglebone \"tail_1\" { is_flexible { yaw_stiffness 120 } }", 0,
       "Changed tail_1: yaw_stiffness 100 -> 120, yaw_constraint -30 30 -> (none), yaw_friction 1 -> (none), "
       "angle_constraint 45 -> (none)\ntail_1: yaw limit removed\ntail_1: angle limit removed\n"},
      {"its tuning lines without it are refused, each on its line",
       without(kSample, "\t\tpitch_constraint -20 20\n"), 10,
       "e.qci:21: pitch_friction" + std::string(kPitchAlone) + "e.qci:22: pitch_bounce" + kPitchAlone},
      {"a limit's line in the other tip block does not switch it on for this one",
       "$jigglebone tail_2 { is_flexible { pitch_constraint -20 20 } is_rigid { pitch_bounce 0.1 } }", 10,
       "e.qci:1: pitch_bounce" + std::string(kPitchAlone)},
      {"any other line left out keeps its value",
       "$jigglebone tail_1 { is_flexible { angle_constraint 45 yaw_constraint -30 30 } }", 0,
       "No jiggle bone changed\n"},
      // What a model's source may hold around its blocks.
      {"capitals, comments and the other commands of a source",
       "$modelname \"props/crate01.mdl\"\n$include \"shared.qci\"\n$bodygroup body\n{\n studio \"a.smd\" { }\n}\n"
       "/* tuned\n   by hand */\n$JiggleBone tail_1 { IS_FLEXIBLE { Yaw_Stiffness 150 // was 100\n"
       "YAW_CONSTRAINT -30 30 angle_constraint 45 } }\n$sequence idle \"idle\" fps 30\n",
       0, "Passed over 4 other commands\nChanged tail_1: yaw_stiffness 100 -> 150\n"},
      {"a block passed over holds commands, nested braces, and braces in quotes and comments",
       "$model body \"x_ref.smd\" { flexfile \"x_flex\" { $include \"flex.qci\" } $include \"rules.qci\" }\n"
       "$texturegroup skinfamilies { { \"a{\" } { b } /* } */ // }\n}\n"
       "$collisionmodel \"phys.smd\" { $mass 10 $concave }\n"
       "$jigglebone tail_1 { is_flexible { yaw_stiffness 150 yaw_constraint -30 30 angle_constraint 45 } }", 0,
       "Passed over 3 other commands\nChanged tail_1: yaw_stiffness 100 -> 150\n"},
      {"a block passed over never closed is refused where it opened",
       "$modelname m.mdl\n$bodygroup body {\n studio \"a.smd\"\n$jigglebone tail_1 { is_boing {\n$jigglebone tail_2 { }",
       10, "e.qci:2: the block of $bodygroup opened at line 2 is never closed\n"},
      {"a command in a $jigglebone block still ends it",
       "$jigglebone tail_1 { is_boing {\n$jigglebone tail_2 { }", 10,
       "e.qci:1: is_boing is part of the $jigglebone language that these tools neither read nor write; the "
       "model keeps what it has: leave it out\n"
       "e.qci:1: the block of tail_1 opened at line 1 is not closed before line 2\n"},
      {"a command close to $jigglebone is a likely typo", "$jiglbone tail_1 { }\n$jiggle_settings { }", 10,
       "e.qci:1: $jiglbone is not a command these tools read; did you mean $jigglebone?\n"},
      // The words of refusals.
      {"a misspelt keyword", "$jigglebone tail_1 {\n is_flexible { yaw_dampnig 3 }\n}", 10,
       "e.qci:2: yaw_dampnig is not a keyword of is_flexible; did you mean yaw_damping?\n"},
      {"a misspelt block, within two edits or not", "$jigglebone tail_1 {\n is_rgdi { }\n is_rg { } }", 10,
       "e.qci:2: is_rgdi is not a block of $jigglebone; did you mean is_rigid?\n"
       "e.qci:3: is_rg is not a block of $jigglebone\n"},
      {"words of the wider language", "$jigglebone tail_1 {\n is_boing { impact_speed 1 }\n"
       " is_flexible { allow_length_flex } }", 10,
       "e.qci:2: is_boing is part of the $jigglebone language that these tools neither read nor write; the "
       "model keeps what it has: leave it out\ne.qci:3: allow_length_flex is part of the $jigglebone language "
       "that these tools neither read nor write; the model keeps what it has: leave it out\n"},
      {"a keyword in the wrong block", "$jigglebone tail_2 { has_base_spring { tip_mass 1 } }", 10,
       "e.qci:1: tip_mass belongs in is_flexible, not has_base_spring\n"},
      {"a missing } is reported where its block opened",
       "$jigglebone tail_1 {\n is_flexible {\n  yaw_stiffness 1\n\n$jigglebone tail_2 { }\n", 10,
       "e.qci:2: the is_flexible block of tail_1 opened at line 2 is not closed before line 5\n"},
      {"a word where a number belongs", "$jigglebone tail_1 { is_flexible { pitch_damping eight } }", 10,
       "e.qci:1: pitch_damping needs a number, found eight\n"},
      {"a model given as the edits", "IDST\x30\0\0\0 rest of a model", 10,
       "e.qci is a model, not edits: the arguments are MODEL EDITS OUTPUT\n"},
      {"a bone named in other capitals", "$jigglebone TAIL_1 { }", 10,
       "e.qci:1: no bone TAIL_1 in this model; did you mean tail_1?\n"},
      {"syntax errors, each ending the list",
       "$jigglebone tail_1 { is_flexible { " + std::string(90, 'w') + " } }", 10,
       "e.qci:1: " + std::string(80, 'w') + "... is not a keyword of is_flexible\n"},
      {"no name", "$jigglebone { }", 10, "e.qci:1: $jigglebone needs a bone name, found \"{\"\n"},
      {"no brace", "$jigglebone tail_1 is_flexible", 10,
       "e.qci:1: expected \"{\" after tail_1, found is_flexible\n"},
      {"a quoted word in a bone", "$jigglebone tail_1 { \"is_flexible\" }", 10,
       "e.qci:1: expected is_flexible, is_rigid, has_base_spring or \"}\", found \"is_flexible\"\n"},
      {"a brace in a block", "$jigglebone tail_1 { is_rigid { { } } }", 10,
       "e.qci:1: expected a keyword of is_rigid or \"}\", found \"{\"\n"},
      {"a comment never closed", "$jigglebone tail_1 { }\n/* to the end", 10,
       "e.qci:2: this \"/*\" comment is never closed by \"*/\"\n"},
      {"a control character", "$jigglebone tail_1 {\x01}", 10, "e.qci:1: a control character stands in the text\n"},
      {"every refusal at once, in line order, a syntax error ending them",
       "$jigglebone tail_1 { is_flexible { yaw_friction 2\n length 1x } }\n$jigglebone tail_9 { }\n"
       "$jigglebone tail_2 { is_rigid { tip_mass 1 } is_rigid { } }\n$jigglebone \"open { }\n$jigglebone tail_8 { }",
       10,
       "e.qci:1: yaw_friction needs yaw_constraint in the same block: write yaw_constraint to keep the yaw "
       "limit, or leave out yaw_friction to remove it\ne.qci:2: 1x is not a number\ne.qci:3: no bone tail_9 in this model\n"
       "e.qci:4: is_rigid stands twice in one $jigglebone\ne.qci:5: a quoted name is not closed on its line\n"},
      {"at most twenty, then how many more", repeated("$jigglebone tail_9 { }\n", 25), 10,
       [] {
         std::string lines;
         for (int line = 1; line <= 20; ++line) lines += "e.qci:" + std::to_string(line) + ": no bone tail_9 in this model\n";
         return lines + "... and 5 more\n";
       }()},
      // Warnings, for values the edits change only.
      {"values that cannot be meant",
       "$jigglebone tail_1 { is_flexible {\n yaw_constraint 30 -30\n tip_mass -1\n angle_constraint 270\n"
       " yaw_stiffness 100 } }", 0,
       "Warning e.qci:2: yaw_constraint 30 -30: the minimum is above the maximum, which leaves the limit no room\n"
       "Warning e.qci:3: tip_mass -1 is below zero: a mass is meant to be zero or more\n"
       "Warning e.qci:4: angle_constraint 270 lies beyond 180 degrees\n"
       "Changed tail_1: tip_mass 0.5 -> -1, yaw_constraint -30 30 -> 30 -30, angle_constraint 45 -> 270\n"},
      // Sibling models.
      {"bones the model lacks, skipped", "$jigglebone hair_0_8 { }\n$jigglebone tail_tip { }\n"
       "$jigglebone tail_1 { is_flexible { yaw_constraint -30 30 yaw_damping 6 angle_constraint 45 } }", 0,
       "Skipped hair_0_8: no bone of this model\nSkipped tail_tip: no jiggle rule in this model\n"
       "Changed tail_1: yaw_damping 5 -> 6\n", true},
  };
  const std::vector<unsigned char> model = buildModel(sampleModelPlan()).bytes;
  for (const Case& c : cases) {
    const AppliedModel result = applyInMemory(model, c.edits, c.skipMissingBones);
    EXPECT_EQ(result.status, c.status) << c.title;
    EXPECT_EQ(result.console, c.console) << c.title;
  }
}

// The skipped blocks change nothing: the run gives what the blocks of the bones it has give.
TEST(EditsLanguage, SkippedBlocksChangeNothing) {
  const std::vector<unsigned char> model = buildModel(sampleModelPlan()).bytes;
  const std::string kept = "$jigglebone tail_2 { is_flexible { yaw_stiffness 7 } }\n";
  const AppliedModel alone = applyInMemory(model, kept);
  const AppliedModel skipping =
      applyInMemory(model, "$jigglebone gone { is_flexible { yaw_stiffness 1 } }\n" + kept + "$jigglebone root { }", true);
  ASSERT_EQ(alone.status, 0) << alone.console;
  ASSERT_EQ(skipping.status, 0) << skipping.console;
  EXPECT_EQ(skipping.bytes, alone.bytes);
  ASSERT_EQ(skipping.skipped.size(), 2U);
  EXPECT_EQ(skipping.skipped[1].line, 3U);
  EXPECT_TRUE(skipping.skipped[1].inModel);
}

// Hostile edits are answered in one pass, whatever their size: listed refusals only.
TEST(EditsLanguage, LargeHostileEditsAreAnsweredWhole) {
  const std::vector<unsigned char> model = buildModel(sampleModelPlan()).bytes;
  const AppliedModel unknown = applyInMemory(model, repeated("$jigglebone nobody { }\n", 300000));
  EXPECT_EQ(unknown.status, 10);
  EXPECT_EQ(unknown.refusals.size(), 20U);
  EXPECT_EQ(unknown.console.substr(unknown.console.rfind("...")), "... and 299980 more\n");
  const AppliedModel braces = applyInMemory(model, "$other " + std::string(10000000, '{'));
  EXPECT_EQ(braces.console, "e.qci:1: the block of $other opened at line 1 is never closed\n");
}

// Angles written by an edit are stored as the float32 nearest to degrees / 57.2957763671875
// (= degrees * 8192 / 469367, worked out exactly): not degrees * pi / 180, which for 1 and
// -179 rounds to the neighbouring float.
TEST(EditsLanguage, DegreesAreStoredAsTheFactorGives) {
  ModelPlan plan = sampleModelPlan();
  const BuiltModel built = buildModel(plan);
  const AppliedModel result = applyInMemory(
      built.bytes, "$jigglebone tail_1 { is_flexible { yaw_constraint -30 45 pitch_constraint 1 -179 } }");
  ASSERT_EQ(result.status, 0) << result.console;
  const std::size_t record = built.boneRules[1];
  EXPECT_EQ(static_cast<std::uint32_t>(getInt32(result.bytes, record + JiggleLayout::kYawMin)), 0xBF060A92u);
  EXPECT_EQ(static_cast<std::uint32_t>(getInt32(result.bytes, record + JiggleLayout::kYawMax)), 0x3F490FDBu);
  EXPECT_EQ(static_cast<std::uint32_t>(getInt32(result.bytes, record + JiggleLayout::kPitchMin)), 0x3C8EFA36u);
  EXPECT_EQ(static_cast<std::uint32_t>(getInt32(result.bytes, record + JiggleLayout::kPitchMax)), 0xC047F1E7u);
}

}  // namespace

// What an edits text means, as a modder writes one: the rules of a block, the source text
// around it, the words of every refusal and warning, and what --skip-missing-bones skips.
// Each row is an edits text applied to the sample and the exact console it must give.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/in_memory.h"
#include "tests/support/test_files.h"
#include "tests/support/model_builder.h"

namespace {

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

// ASCII and the quotes U+201C and U+201D as UTF-16, in either byte order, after its mark.
std::string utf16(const std::string& text, bool little) {
  std::string out = little ? "\xFF\xFE" : "\xFE\xFF";
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned unit = text[i] == '\xE2' ? 0x2000u + static_cast<unsigned char>(text[i += 2]) - 0x80u
                                            : static_cast<unsigned char>(text[i]);
    const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
    out += little ? std::string{low, high} : std::string{high, low};
  }
  return out;
}

const char kSkipHint[] = "; to skip the bones a model lacks, add --skip-missing-bones\n";
const char kQuotesWarning[] =
    "Warning e.qci:1: typographic quotes around tail_1 are read as straight ones; a model's source needs "
    "\"tail_1\"\n";

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
      {"a limit's line left out removes it, warned of and said in words",
       "$jigglebone \"tail_1\" { is_flexible { yaw_stiffness 120 } }", 0,
       "Warning e.qci:1: tail_1 loses its yaw limit: write yaw_constraint -30 30 in its is_flexible block to keep it\n"
       "Warning e.qci:1: tail_1 loses its angle limit: write angle_constraint 45 in its is_flexible block to keep it\n"
       "Changed tail_1: yaw_stiffness 100 -> 120, yaw_constraint -30 30 -> (none), yaw_friction 1 -> (none), "
       "angle_constraint 45 -> (none)\ntail_1: yaw limit removed\ntail_1: angle limit removed\n"},
      {"its tuning lines without it are refused, each on its line",
       without(kSample, "\t\tpitch_constraint -20 20\n"), 10,
       "e.qci:21: pitch_friction" + std::string(kPitchAlone) + "e.qci:22: pitch_bounce" + kPitchAlone},
      {"a limit's line in the other tip block does not switch it on for this one",
       "$jigglebone tail_2 { is_flexible { pitch_constraint -20 20 } is_rigid { pitch_bounce 0.1 } }", 10,
       "e.qci:1: pitch_bounce" + std::string(kPitchAlone)},
      {"a block left out removes it and its limits, each warned of",
       "$jigglebone tail_1 {\n has_base_spring { base_mass 1 } }", 0,
       "Warning e.qci:1: tail_1 loses its is_flexible block: write is_flexible { } in its $jigglebone block to keep it\n"
       "Warning e.qci:1: tail_1 loses its yaw limit: write yaw_constraint -30 30 in its is_flexible block to keep it\n"
       "Warning e.qci:1: tail_1 loses its angle limit: write angle_constraint 45 in its is_flexible block to keep it\n"
       "Changed tail_1: is_flexible removed, has_base_spring added, yaw_stiffness 100 -> (none), yaw_damping 5 -> "
       "(none), pitch_stiffness 100 -> (none), pitch_damping 5 -> (none), along_stiffness 50 -> (none), "
       "along_damping 2 -> (none), length 12 -> (none), tip_mass 0.5 -> (none), yaw_constraint -30 30 -> (none), "
       "yaw_friction 1 -> (none), angle_constraint 45 -> (none), base_mass (none) -> 1, stiffness (none) -> 0, "
       "damping (none) -> 0, left_constraint (none) -> 0 0, left_friction (none) -> 0, up_constraint (none) -> 0 0, "
       "up_friction (none) -> 0, forward_constraint (none) -> 0 0, forward_friction (none) -> 0\n"},
      {"allow_length_flex clears the bit of a length held fixed, said in words",
       "$jigglebone tail_1 { is_flexible { allow_length_flex yaw_constraint -30 30 angle_constraint 45 } }", 0,
       "Changed tail_1: length may flex\n"},
      {"allow_length_flex in is_rigid", "$jigglebone tail_2 { is_rigid { allow_length_flex pitch_constraint -20 20 } }",
       10, "e.qci:1: allow_length_flex belongs in is_flexible, not is_rigid\n"},
      // Degrees as written.
      {"a fraction of a degree is stored, and warned of", "$jigglebone tail_1 { is_flexible {\n yaw_constraint -30 30 "
       "angle_constraint 45.4 } }", 0,
       "Warning e.qci:2: 45.4 degrees is stored; the dump shows whole degrees (45)\n"
       "Changed tail_1: angle_constraint 45 -> 45.4\n"},
      {"the number the dump shows, however written, keeps the stored bits",
       "$jigglebone tail_1 { is_flexible { yaw_constraint -3e1 30.0 angle_constraint 45.0000001 } }", 0,
       "No jiggle bone changed\n"},
      {"any other line left out keeps its value, and a length held fixed stays so",
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
       " is_flexible { yaw_bounce 1 } }", 10,
       "e.qci:2: is_boing is part of the $jigglebone language that these tools neither read nor write; the "
       "model keeps what it has: leave it out\ne.qci:3: yaw_bounce is part of the $jigglebone language "
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
       "limit, or leave out yaw_friction to remove it\ne.qci:2: 1x is not a number\ne.qci:3: no bone tail_9 in this model" +
           std::string(kSkipHint) +
       "e.qci:4: is_rigid stands twice in one $jigglebone\ne.qci:5: a quoted name is not closed on its line\n"},
      {"at most twenty, then how many more", repeated("$jigglebone tail_9 { }\n", 25), 10,
       [] {
         std::string lines;
         for (int line = 1; line <= 20; ++line) {
           lines += "e.qci:" + std::to_string(line) + ": no bone tail_9 in this model" + kSkipHint;
         }
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
      // Pasted text.
      {"UTF-16, either byte order, with typographic quotes",
       utf16("$jigglebone \xE2\x80\x9Ctail_1\xE2\x80\x9D { is_flexible { yaw_stiffness 150 yaw_constraint -30 30\r\n"
             "angle_constraint 45 } }", true),
       0, std::string(kQuotesWarning) + "Changed tail_1: yaw_stiffness 100 -> 150\n"},
      {"UTF-16 big-endian", utf16("$jigglebone tail_9 { }", false), 10, "e.qci:1: no bone tail_9 in this model\n"},
      {"typographic quotes of either kind, in UTF-8",
       "$jigglebone \xE2\x80\x98tail_1\xE2\x80\x99 { is_flexible { yaw_damping 6 yaw_constraint -30 30 "
       "angle_constraint 45 } }", 0, std::string(kQuotesWarning) + "Changed tail_1: yaw_damping 5 -> 6\n"},
      // Sibling models.
      {"bones the model lacks, skipped", "$jigglebone hair_0_8 { }\n$jigglebone tail_tip { }\n"
       "$jigglebone tail_1 { is_flexible { yaw_constraint -30 30 yaw_damping 6 angle_constraint 45 } }", 0,
       "Skipped hair_0_8: no bone of this model\nSkipped tail_tip: no jiggle rule in this model\n"
       "Changed tail_1: yaw_damping 5 -> 6\n", true},
  };
  ModelPlan plan = sampleModelPlan();
  plan.bones[1].rule->flags |= 0x20;  // tail_1's length held fixed, as most real flexible tips are
  const std::vector<unsigned char> model = buildModel(plan).bytes;
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

// Angles an edit writes are stored as the float32 nearest to degrees * pi / 180, as real
// compiled models hold them, worked out by hand with the floats on either side:
//   1     0.0174532925  0x3C8EFA35 0.0174532924  (0x3C8EFA36 0.0174532942)
//   45    0.7853981634  0x3F490FDB 0.7853981853  (0x3F490FDA 0.7853981256)
//   -30  -0.5235987756  0xBF060A92 -0.5235987902 (0xBF060A91 -0.5235987306)
//   45.4  0.7923794804  0x3F4AD962 0.7923794985  (0x3F4AD961 0.7923794389)
// The old factor, 1 / 57.2957763671875, gave 0x3C8EFA36 for 1 degree.
TEST(EditsLanguage, DegreesAreStoredAsRealModelsHoldThem) {
  const BuiltModel built = buildModel(sampleModelPlan());
  const AppliedModel result = applyInMemory(
      built.bytes, "$jigglebone tail_2 { is_rigid { yaw_constraint -30 45 pitch_constraint 1 45.4 } }");
  ASSERT_EQ(result.status, 0) << result.console;
  const std::size_t record = built.boneRules[2];
  EXPECT_EQ(static_cast<std::uint32_t>(getInt32(result.bytes, record + JiggleLayout::kYawMin)), 0xBF060A92u);
  EXPECT_EQ(static_cast<std::uint32_t>(getInt32(result.bytes, record + JiggleLayout::kYawMax)), 0x3F490FDBu);
  EXPECT_EQ(static_cast<std::uint32_t>(getInt32(result.bytes, record + JiggleLayout::kPitchMin)), 0x3C8EFA35u);
  EXPECT_EQ(static_cast<std::uint32_t>(getInt32(result.bytes, record + JiggleLayout::kPitchMax)), 0x3F4AD962u);
}

// A whole model source, as modders hold one, given to the sample: it changes exactly what
// its $jigglebone blocks say, and clears the bit of a length held fixed where a flexible
// block allows the length to flex.
TEST(EditsLanguage, AWholeModelSourceChangesWhatItsBlocksSay) {
  ModelPlan plan = sampleModelPlan();
  plan.bones[1].rule->flags |= 0x20;
  const BuiltModel built = buildModel(plan);
  const std::string source = readFixture("crate01_source.qc");
  const AppliedModel whole = applyInMemory(built.bytes, source);
  ASSERT_EQ(whole.status, 0) << whole.console;
  EXPECT_EQ(whole.console,
            "Passed over 10 other commands\nChanged tail_1: yaw_stiffness 100 -> 80, length may flex\n"
            "Changed tail_2: stiffness 300 -> 350\n");
  std::string blocks;
  for (std::size_t at = source.find("$jigglebone"); at != std::string::npos; at = source.find("$jigglebone", at + 1)) {
    blocks += source.substr(at, source.find("\n}\n", at) + 3 - at);
  }
  const AppliedModel alone = applyInMemory(built.bytes, blocks);
  EXPECT_EQ(whole.bytes, alone.bytes);
  const std::size_t record = built.boneRules[1];
  EXPECT_EQ(getInt32(whole.bytes, record + JiggleLayout::kFlags),
            static_cast<std::int32_t>(JiggleBit::kFlexibleTip | JiggleBit::kYawLimited | JiggleBit::kAngleLimited));
}

}  // namespace

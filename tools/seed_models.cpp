#include "tools/seed_models.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "tests/support/in_memory.h"
#include "tests/support/model_builder.h"

namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::uint32_t kExaminedBits[] = {JiggleBit::kFlexibleTip, JiggleBit::kRigidTip,     JiggleBit::kYawLimited,
                                           JiggleBit::kPitchLimited, JiggleBit::kAngleLimited, JiggleBit::kBaseSpring};

// Every float field of a record set to a distinct, plausible value.
JigglePlan filledRecord(std::uint32_t flags, float scale) {
  JigglePlan rule;
  rule.flags = flags;
  for (std::size_t field = 1; field < rule.values.size(); ++field) {
    rule.values[field] = scale * static_cast<float>(field) * 0.25f;
  }
  rule.set(JiggleLayout::kYawMin, radiansOf(-30)).set(JiggleLayout::kYawMax, radiansOf(30));
  rule.set(JiggleLayout::kPitchMin, radiansOf(-45)).set(JiggleLayout::kPitchMax, radiansOf(10.5));
  rule.set(JiggleLayout::kAngleLimit, radiansOf(60));
  return rule;
}

std::string numbered(const char* stem, long long n) {
  char text[64];
  std::snprintf(text, sizeof text, "%s_%lld", stem, n);
  return text;
}

// The sample with descriptors that every older version's normalisation rewrites.
ModelPlan sampleWithDescriptors(std::int32_t version) {
  ModelPlan plan = sampleModelPlan();
  plan.version = version;
  plan.retiredWord = 0x1234;
  plan.descriptors.assign(3, {});
  plan.descriptors[1][DescriptorLayout::kSectionWord] = 1;
  plan.descriptors[2][DescriptorLayout::kSpanOffset] = 7;
  plan.descriptors[2][DescriptorLayout::kSpanLength] = 3;
  return plan;
}

// A model laid out like a real one: a long skeleton with bones driven by other rules,
// flag bits beyond the examined ones and names with folders of either separator.
ModelPlan realisticPlan() {
  ModelPlan plan;
  plan.version = 49;
  plan.name = "characters\\crew/deckhand_long_name_cut_at_the_field_end_xxxxxxx";
  for (int i = 0; i < 24; ++i) {
    BonePlan bone{numbered("spine", i), i % 4, std::nullopt};
    const std::uint32_t spring = i % 2 != 0 ? std::uint32_t{JiggleBit::kBaseSpring} : 0u;
    if (i % 3 == 1) bone = jiggleBone(numbered("hair", i), filledRecord(0x20u | JiggleBit::kFlexibleTip | spring, 1.5f));
    if (i % 7 == 2) bone.rule = filledRecord(JiggleBit::kYawLimited, 1.0f);  // another rule's record
    plan.bones.push_back(bone);
  }
  plan.descriptors.assign(2, {});
  return plan;
}

void add(std::vector<SeedModel>& seeds, std::string name, std::vector<unsigned char> bytes) {
  seeds.push_back(SeedModel{std::move(name) + ".mdl", std::move(bytes)});
}

void add(std::vector<SeedModel>& seeds, std::string name, const ModelPlan& plan) {
  add(seeds, std::move(name), buildModel(plan).bytes);
}

}  // namespace

std::vector<SeedModel> seedModels() {
  std::vector<SeedModel> seeds;
  for (const std::int32_t version : {44, 45, 46, 47, 48, 49, 1000, kMax}) {
    add(seeds, numbered("version", version), sampleWithDescriptors(version));
  }
  // Every combination of the examined bits, one small model each.
  for (std::uint32_t combination = 0; combination < 64; ++combination) {
    std::uint32_t flags = 0;
    for (std::uint32_t bit = 0; bit < 6; ++bit) {
      if ((combination >> bit & 1) != 0) flags |= kExaminedBits[bit];
    }
    ModelPlan plan;
    plan.bones.push_back(jiggleBone("bone", filledRecord(flags, 2.0f)));
    add(seeds, numbered("flags", flags), plan);
  }
  ModelPlan ignoredBits;
  ignoredBits.bones.push_back(jiggleBone("ignored", filledRecord(0xFFFFFFA0u, 1.0f)));
  add(seeds, "flags_ignored_bits", ignoredBits);

  ModelPlan negative = sampleWithDescriptors(45);
  negative.recordsBeforeBones = true;
  add(seeds, "negative_offsets", negative);

  // A last bone whose record, then whose name, ends exactly at the end of the file.
  BuiltModel recordAtEnd = buildModel(sampleModelPlan());
  putInt32(recordAtEnd.bytes, HeaderLayout::kAnimCount, 0);
  recordAtEnd.bytes.resize(recordAtEnd.boneRules[2] + JiggleLayout::kSize);
  add(seeds, "record_ending_at_end", recordAtEnd.bytes);
  BuiltModel nameAtEnd = buildModel(sampleModelPlan());
  const std::size_t lastBone = nameAtEnd.boneTable + 2 * BoneLayout::kSize;
  const std::size_t name = nameAtEnd.bytes.size();
  for (const char c : std::string("tail_2_again")) nameAtEnd.bytes.push_back(static_cast<unsigned char>(c));
  nameAtEnd.bytes.push_back(0);
  putInt32(nameAtEnd.bytes, lastBone + BoneLayout::kNameOffset,
           static_cast<std::int32_t>(name - lastBone));
  add(seeds, "name_ending_at_end", nameAtEnd.bytes);

  add(seeds, "realistic", realisticPlan());
  ModelPlan allInOne;
  allInOne.name = "/a.mdl";
  for (std::uint32_t flags = 0; flags < 128; flags += 3) {
    allInOne.bones.push_back(jiggleBone(numbered("b", flags), filledRecord(flags, -3.0f)));
  }
  add(seeds, "many_bones", allInOne);

  // Values at the edges of what a float can hold.
  ModelPlan edges;
  JigglePlan extreme = filledRecord(0x5F, 1.0f);
  extreme.set(JiggleLayout::kYawMin, std::numeric_limits<float>::quiet_NaN());
  extreme.set(JiggleLayout::kYawMax, std::numeric_limits<float>::infinity());
  extreme.set(JiggleLayout::kPitchMin, -std::numeric_limits<float>::max());
  extreme.set(JiggleLayout::kPitchMax, std::numeric_limits<float>::denorm_min());
  extreme.set(JiggleLayout::kLength, 1e6f).set(JiggleLayout::kTipMass, 1e-5f);
  extreme.set(JiggleLayout::kBaseMass, -std::numeric_limits<float>::infinity());
  edges.bones.push_back(jiggleBone("edges", extreme));
  add(seeds, "float_edges", edges);

  // Damaged models, one per check, so the fuzzer starts next to every refusal.
  std::vector<unsigned char> bytes = buildModel(sampleModelPlan()).bytes;
  bytes.resize(HeaderLayout::kUsedSize - 1);
  add(seeds, "damaged_short_header", bytes);
  bytes = buildModel(sampleModelPlan()).bytes;
  putInt32(bytes, HeaderLayout::kBoneCount, kMax);
  add(seeds, "damaged_bone_count", bytes);
  bytes = buildModel(sampleWithDescriptors(45)).bytes;
  putInt32(bytes, HeaderLayout::kAnimTableOffset, kMin);
  add(seeds, "damaged_descriptor_table", bytes);
  BuiltModel straddling = buildModel(sampleModelPlan());
  straddling.bytes.resize(straddling.boneRules[2] + JiggleLayout::kSize - 1);
  add(seeds, "damaged_record_straddling_end", straddling.bytes);
  ModelPlan noJiggle = sampleModelPlan();
  noJiggle.bones.resize(1);
  add(seeds, "no_jiggle_bones", noJiggle);
  // A skeleton that can be drawn, with two roots, so that the .glb's path is reached.
  ModelPlan skeleton = realisticPlan();
  for (std::size_t i = 0; i < skeleton.bones.size(); ++i) {
    const auto index = static_cast<std::int32_t>(i);
    skeleton.bones[i].parent = i % 12 == 0 ? -1 : index - (i % 3 == 2 ? 2 : 1);
    skeleton.bones[i].position = std::array<float, 3>{1.5f, 0, 0.25f * static_cast<float>(i)};
    skeleton.bones[i].rotation = std::array<float, 4>{0.1f, 0, 0, 1};
    skeleton.bones[i].inverseWorld = std::array<float, 12>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0};
  }
  add(seeds, "skeleton", skeleton);
  return seeds;
}

namespace {

std::vector<unsigned char> applyInput(const std::vector<unsigned char>& model, const std::string& edits) {
  std::vector<unsigned char> input(4);
  putInt32(input, 0, static_cast<std::int32_t>(model.size()));
  input.insert(input.end(), model.begin(), model.end());
  input.insert(input.end(), edits.begin(), edits.end());
  return input;
}

}  // namespace

std::vector<SeedModel> applySeeds() {
  std::vector<SeedModel> seeds;
  for (const SeedModel& model : seedModels()) {
    const std::string text = dumpInMemory(model.bytes).text.file;
    if (!text.empty()) seeds.push_back(SeedModel{"own_" + model.name, applyInput(model.bytes, text)});
  }
  const std::vector<unsigned char> sample = buildModel(sampleModelPlan()).bytes;
  const char* const edits[] = {
      "$jigglebone tail_1 { is_flexible { yaw_stiffness 150 yaw_constraint -45 30 angle_constraint 45 } }",
      ("// by hand\r\n$jigglebone \"tail_2\"\r\n{\r\n  is_rigid { length 8.0 tip_mass +2.5e-1 }\r\n"
       "  is_flexible { yaw_constraint -3e1 3e1 }\r\n  has_base_spring { }\r\n}\r\n"),
      "$jigglebone tail_2 { }\n$jigglebone tail_1 { is_rigid { pitch_constraint 1 2 pitch_friction 3 pitch_bounce 4 } }",
      "$jigglebone tail_1 { is_boing { } }",
      "$jigglebone tail_1 { is_flexible { length 1e39 } }",
      "$jigglebone tail_2 { is_flexible { length 1 } is_rigid { length 2 } }",
      "$jigglebone root { }",
      // A model's source around its blocks, in other capitals and comments.
      ("$modelname \"props/crate01.mdl\"\n$include \"shared.qci\"\n$bodygroup body\n{\n studio \"a.smd\"\n}\n"
       "/* tuned\n by hand */ $JiggleBone tail_1 { IS_FLEXIBLE { Yaw_Stiffness 150 yaw_constraint -20 20 } }\n"
       "$sequence idle \"idle\" loop fps 30\n"),
      // Faults to read past, and one that ends the reading.
      ("$jigglebone tail_1 { is_flexible { yaw_dampnig 3 pitch_damping eight } is_boing { a 1 } }\n"
       "$jigglebone tail_2 { is_rigid { pitch_friction 1 }\n$jiglebone x { }\n$jigglebone Tail_1 { }\n"
       "$jigglebone tail_2 { \"unclosed }"),
      // Bones a sibling model lacks, and values worth a warning.
      ("$jigglebone hair_0_8 { }\n$jigglebone root { }\n"
       "$jigglebone tail_1 { is_flexible { yaw_constraint 30 -30 tip_mass -1 angle_constraint 270 } }"),
  };
  for (std::size_t i = 0; i < sizeof edits / sizeof edits[0]; ++i) {
    seeds.push_back(SeedModel{numbered("sample_edit", static_cast<long long>(i)), applyInput(sample, edits[i])});
  }
  return seeds;
}

#include "tests/fuzz/model_properties.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "definitions/jiggle_text.h"
#include "base/byte_sink.h"
#include "model/byte_order.h"
#include "model/model_image.h"
#include "run/console_lines.h"
#include "run/model_checks.h"
#include "tests/fuzz/skeleton_properties.h"
#include "tests/support/in_memory.h"
#include "tests/support/model_builder.h"

namespace {

using P = JiggleLayout;

// A heap copy of exactly the input's size, so that a read one byte past it is caught.
struct OwnedImage {
  ModelImage image;
  OwnedImage(const unsigned char* data, std::size_t size) {
    if (size == 0) return;
    image.bytes = static_cast<unsigned char*>(std::malloc(size));
    if (image.bytes == nullptr) std::abort();
    std::memcpy(image.bytes, data, size);
    image.size = size;
  }
  ~OwnedImage() { std::free(image.bytes); }
  OwnedImage(const OwnedImage&) = delete;
  OwnedImage& operator=(const OwnedImage&) = delete;
};

using Text = RenderedText;

Text render(const ModelImage& image) { return renderedText(image); }

// The checks' outcome as the dump reports it: its status, its console line, and the output
// name of an accepted image.
struct Checked {
  int status = 0;
  std::string message;
  std::string outputName;
};

Checked checked(ModelImage& image) {
  const ModelCheck check = checkLoadedModel(image);
  Checked out;
  out.status = exitStatusOf(check.outcome);
  if (check.outcome == RunOutcome::Written) {
    out.outputName = check.outputName;
    return out;
  }
  DumpResult result;
  result.outcome = check.outcome;
  result.version = check.version;
  result.damage = check.damage;
  DumpRequest request;
  request.modelPath = "m.mdl";
  out.message = renderToString([&](ByteSink& sink) { renderDumpRefusal(request, result, sink); });
  return out;
}

bool startsWith(const std::string& text, const char* prefix) {
  return text.compare(0, std::strlen(prefix), prefix) == 0;
}

bool endsWith(const std::string& text, const char* suffix) {
  const std::size_t length = std::strlen(suffix);
  return text.size() >= length && text.compare(text.size() - length, length, suffix) == 0;
}

// Bones with the jiggle rule type and a record, by the layout table; the image is sound.
std::size_t jiggleBonesOf(const ModelImage& image) {
  std::size_t found = 0;
  const std::int32_t bones = readInt32LE(image.bytes + HeaderLayout::kBoneCount);
  const std::int64_t table = readInt32LE(image.bytes + HeaderLayout::kBoneTableOffset);
  for (std::int64_t i = 0; i < bones; ++i) {
    const unsigned char* bone =
        image.bytes + table + i * static_cast<std::int64_t>(BoneLayout::kSize);
    if (readInt32LE(bone + BoneLayout::kRuleType) == kJiggleRuleValue &&
        readInt32LE(bone + BoneLayout::kRuleOffset) != 0) {
      ++found;
    }
  }
  return found;
}

std::string checkAccepted(const unsigned char* data, std::size_t size, ModelImage& image,
                          const std::string& outputName) {
  const std::int32_t version = readInt32LE(data + HeaderLayout::kVersion);
  if (readInt32LE(image.bytes + HeaderLayout::kVersion) != kLatestLayoutVersion) {
    return "an accepted image was not brought to the current version";
  }
  if (version == kLatestLayoutVersion && std::memcmp(image.bytes, data, size) != 0) {
    return "normalisation changed an image already at the current version";
  }
  if (version > kLatestLayoutVersion &&
      (std::memcmp(image.bytes, data, HeaderLayout::kVersion) != 0 ||
       std::memcmp(image.bytes + 8, data + 8, size - 8) != 0)) {
    return "normalisation of a newer version changed more than its version";
  }
  // Whatever the stored name, the file lands in the current folder under a plain name.
  for (const char c : outputName) {
    if (c == '/' || c == '\\' || c == ':' || static_cast<unsigned char>(c) < 0x20) {
      return "an accepted image has an output name that is not a plain file name";
    }
  }
  if (!endsWith(outputName, "_jiggles.qci")) return "an output name without _jiggles.qci";
  if (jiggleBonesOf(image) == 0) return "an image without jiggle bones was accepted";
  const Text first = render(image);
  if (!(render(image) == first)) return "rendering the same image twice gave different text";
  if (!startsWith(first.file, "$jigglebone \"") || !endsWith(first.file, "}\n\n")) {
    return "the text does not open with \"$jigglebone\" or does not end with \"}\\n\\n\"";
  }

  // Running the path again, on a fresh copy and on the normalised image, changes nothing.
  OwnedImage again(data, size);
  if (checked(again.image).status != 0 ||
      !(render(again.image) == first)) {
    return "a second run over the same bytes gave a different result";
  }
  if (checked(image).status != 0 || !(render(image) == first)) {
    return "the normalised image is not accepted with the same text";
  }
  return {};
}

// The bytes taken as any model whatever: refused or accepted, never read out of bounds,
// and what is accepted is normalised and rendered consistently.
std::string findImageViolation(const unsigned char* data, std::size_t size) {
  OwnedImage owned(data, size);
  ModelImage& image = owned.image;
  const Checked check = checked(image);
  if (check.status != 0 && (check.message.empty() || check.message.back() != '\n' ||
                            !check.outputName.empty())) {
    return "a refusal without its one console line, or with an output name";
  }
  switch (check.status) {
    case 3:
    case 4:
      if (size != 0 && std::memcmp(image.bytes, data, size) != 0) {
        return "a refused image was changed";
      }
      return {};
    case 7:
      if (check.message.find(" is damaged: \n") != std::string::npos) {
        return "damage was found but not described";
      }
      return {};
    case 5: {
      // Sound, so it can be rendered: and it must render nothing.
      const Text text = render(image);
      if (!text.file.empty() || !text.console.empty()) return "a refused image rendered text";
      return {};
    }
    case 0:
      return checkAccepted(data, size, image, check.outputName);
  }
  return "unknown status";
}

// The same bytes read as the choices of a plan for the builder, each mixed with a stream
// keyed by all of them: the seeds of the corpus are model images, alike in most of their
// bytes, and each must still choose a plan of its own, with jiggle bones.
struct Choices {
  const unsigned char* data;
  std::size_t size;
  std::uint64_t key = 0xCBF29CE484222325ULL;
  std::size_t at = 0;
  Choices(const unsigned char* bytes, std::size_t length) : data(bytes), size(length) {
    for (std::size_t i = 0; i < size; ++i) key = (key ^ data[i]) * 0x100000001B3ULL;
  }
  unsigned byte() {
    std::uint64_t stream = (key + at) * 0x9E3779B97F4A7C15ULL;
    stream ^= stream >> 29;
    const auto mixed = static_cast<unsigned>(stream >> 24 & 0xFF);
    const unsigned chosen = at < size ? mixed ^ data[at] : mixed;
    ++at;
    return chosen;
  }
  unsigned below(unsigned count) { return byte() % count; }
  std::uint32_t word() {
    std::uint32_t word = 0;
    for (unsigned i = 0; i < 4; ++i) word |= static_cast<std::uint32_t>(byte()) << (8 * i);
    return word;
  }
};

// What a plan must give: its status, and when it is written, its output name and text,
// worked out from the values the plan holds rather than from the bytes built from them.
struct Expected {
  int status = 0;
  std::string outputName;
  Text text;
};

// "%g" of the value as the C library writes it; infinities and not-a-numbers in the C
// library's words, signed as stored, on every platform.
std::string general(float value) {
  if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  char text[64];
  std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
  return text;
}

// An angle the plan stores as radians, and the whole degrees the text must show for it:
// whole degrees from -360 to 360 come back as themselves, and the documented half
// degrees as documented.
struct Angle {
  double degrees;
  int shown;
};

Angle chooseAngle(Choices& c) {
  static constexpr Angle kHalves[] = {{10.5, 10}, {-10.5, -10}, {-0.5, 0}};
  const unsigned low = c.byte();
  const unsigned pick = low | c.byte() << 8;
  if (pick % 16 == 0) return kHalves[pick / 16 % 3];
  const int whole = static_cast<int>(pick % 721) - 360;
  return {static_cast<double>(whole), whole};
}

// Any float at all, or one of the values people type.
float chooseValue(Choices& c) {
  static constexpr float kTyped[] = {0,   1,    0.5f,  0.1f,   12.5f,  100,
                                     -2,  300,  1e6f,  1e-5f,  123456, 1234567};
  const unsigned pick = c.byte();
  if (pick < 64) return kTyped[pick % (sizeof kTyped / sizeof kTyped[0])];
  float value = 0;
  const std::uint32_t bits = c.word();
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

std::string chosenText(Choices& c, unsigned longest, const char* alphabet) {
  const std::size_t letters = std::strlen(alphabet);
  std::string text(c.below(longest + 1), ' ');
  for (char& ch : text) ch = alphabet[c.byte() % letters];
  return text;
}

bool isAngleField(std::size_t offset) {
  return offset == P::kAngleLimit || offset == P::kYawMin || offset == P::kYawMax ||
         offset == P::kPitchMin || offset == P::kPitchMax;
}

// The record of one jiggle bone, with the text of each field as the bone's block shows it.
struct ChosenRecord {
  JigglePlan plan;
  std::string shown[P::kSize / 4];
};

ChosenRecord chooseRecord(Choices& c) {
  ChosenRecord record;
  record.plan.flags = c.word();
  for (std::size_t offset = P::kLength; offset < P::kSize; offset += 4) {
    if (offset == P::kUnread) continue;
    if (isAngleField(offset)) {
      const Angle angle = chooseAngle(c);
      record.plan.set(offset, radiansOf(angle.degrees));
      record.shown[offset / 4] = std::to_string(angle.shown);
    } else {
      const float value = chooseValue(c);
      record.plan.set(offset, value);
      record.shown[offset / 4] = general(value);
    }
  }
  return record;
}

// The block and console line of a jiggle bone, in the documented order.
void appendExpected(const std::string& name, const ChosenRecord& record, Text& text) {
  const std::uint32_t flags = record.plan.flags;
  const auto has = [flags](std::uint32_t bit) { return (flags & bit) != 0; };
  const auto line = [&record](const char* keyword, std::size_t field) {
    return std::string("\t\t") + keyword + " " + record.shown[field / 4] + "\n";
  };
  const auto pair = [&record](const char* keyword, std::size_t first, std::size_t second) {
    return std::string("\t\t") + keyword + " " + record.shown[first / 4] + " " +
           record.shown[second / 4] + "\n";
  };
  std::string limits;
  if (has(JiggleBit::kYawLimited)) {
    limits += pair("yaw_constraint", P::kYawMin, P::kYawMax) +
              line("yaw_friction", P::kYawFriction);
  }
  if (has(JiggleBit::kAngleLimited)) limits += line("angle_constraint", P::kAngleLimit);
  if (has(JiggleBit::kPitchLimited)) {
    limits += pair("pitch_constraint", P::kPitchMin, P::kPitchMax) +
              line("pitch_friction", P::kPitchFriction) + line("pitch_bounce", P::kPitchBounce);
  }
  const std::string tip = line("length", P::kLength) + line("tip_mass", P::kTipMass) + limits;

  text.console += "Jigglebone: " + name + " ";
  text.file += "$jigglebone \"" + name + "\" {\n";
  if (has(JiggleBit::kFlexibleTip)) {
    text.console += "- is_flexible ";
    text.file += "\tis_flexible {\n" + line("yaw_stiffness", P::kYawStiffness) +
                 line("yaw_damping", P::kYawDamping) + line("pitch_stiffness", P::kPitchStiffness) +
                 line("pitch_damping", P::kPitchDamping) +
                 line("along_stiffness", P::kAlongStiffness) +
                 line("along_damping", P::kAlongDamping) + tip + "\t}\n";
  }
  if (has(JiggleBit::kRigidTip)) {
    text.console += "- is_rigid ";
    text.file += "\tis_rigid {\n" + tip + "\t}\n";
  }
  if (has(JiggleBit::kBaseSpring)) {
    text.console += "- has_base_spring ";
    text.file += "\n\thas_base_spring {\n" + line("base_mass", P::kBaseMass) +
                 line("stiffness", P::kBaseStiffness) + line("damping", P::kBaseDamping) +
                 pair("left_constraint", P::kLeftMin, P::kLeftMax) +
                 line("left_friction", P::kLeftFriction) +
                 pair("up_constraint", P::kUpMin, P::kUpMax) + line("up_friction", P::kUpFriction) +
                 pair("forward_constraint", P::kForwardMin, P::kForwardMax) +
                 line("forward_friction", P::kForwardFriction) + "\t}\n";
  }
  text.console += "\n";
  text.file += "}\n\n";
}

ModelPlan choosePlan(Choices& c, Expected& expected) {
  static constexpr std::int32_t kVersions[] = {48, 45, 46, 47, 49, 1000, 44, 0x7FFFFFFF};
  static const char* const kFolders[] = {"", "props/", "/", "a/b\\", "models\\x\\"};
  static const char* const kEnds[] = {".mdl", ".MDL", "_v2b", "...."};
  ModelPlan plan;
  plan.version = kVersions[c.below(8)];
  const std::string folder = kFolders[c.below(5)];
  const std::string base = chosenText(c, 20, "abcdefghijklmnopqrstuvwxyz0123456789_-.");
  // The base name after the last separator, less its last four characters whatever they are.
  plan.name = folder + base + kEnds[c.below(4)];
  expected.outputName = base + "_jiggles.qci";
  plan.retiredWord = static_cast<std::int32_t>(c.word());
  plan.recordsBeforeBones = c.byte() % 2 != 0;
  plan.descriptors.resize(c.below(3));
  for (auto& descriptor : plan.descriptors) {
    for (unsigned char& b : descriptor) b = static_cast<unsigned char>(c.byte());
  }

  bool anyJiggle = false;
  const unsigned bones = c.below(9);
  for (unsigned i = 0; i < bones; ++i) {
    // Names are copied unchanged, quotes, braces and bytes beyond ASCII included.
    std::string name = chosenText(c, 12, "abcdefghijklmnopqrstuvwxyz_0123456789 \"\\{}$\t\x7f\xc3\xa9");
    const unsigned kind = c.below(8);
    if (kind < 5) {  // a jiggle bone
      const ChosenRecord record = chooseRecord(c);
      plan.bones.push_back(jiggleBone(name, record.plan));
      appendExpected(name, record, expected.text);
      anyJiggle = true;
    } else if (kind == 5) {  // the jiggle rule type without a record
      plan.bones.push_back(BonePlan{name, kJiggleRuleValue, std::nullopt});
    } else {  // another rule, with or without a record
      std::int32_t ruleType = static_cast<std::int32_t>(c.word());
      if (ruleType == kJiggleRuleValue) ruleType = 0;
      BonePlan bone{name, ruleType, std::nullopt};
      if (kind == 7) bone.rule = chooseRecord(c).plan;
      plan.bones.push_back(bone);
    }
  }
  expected.status = plan.version < 45 ? 4 : anyJiggle ? 0 : 5;
  if (expected.status != 0) {
    expected.outputName.clear();
    expected.text = Text{};
  }
  return plan;
}

// The bytes read as a plan: the model built from it must give what the plan says.
std::string findPlanViolation(const unsigned char* data, std::size_t size) {
  Choices choices(data, size);
  Expected expected;
  const BuiltModel built = buildModel(choosePlan(choices, expected));
  OwnedImage owned(built.bytes.data(), built.bytes.size());
  const Checked check = checked(owned.image);
  if (check.status != expected.status) {
    return "a built model got status " + std::to_string(check.status) + " instead of " +
           std::to_string(expected.status) + ": " + check.message;
  }
  if (check.outputName != expected.outputName) {
    return "a built model got the output name " + check.outputName;
  }
  if (check.status == 0 && !(render(owned.image) == expected.text)) {
    return "a built model's text differs from the text of the values it was built with";
  }
  return {};
}

}  // namespace

std::string findPropertyViolation(const unsigned char* data, std::size_t size) {
  std::string violation = findImageViolation(data, size);
  if (violation.empty()) violation = findSkeletonViolation(data, size);
  return violation.empty() ? findPlanViolation(data, size) : violation;
}

#include "tests/fuzz/model_properties.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "run/model_checks.h"
#include "definitions/jiggle_text.h"
#include "definitions/output_name.h"
#include "definitions/text_sink.h"
#include "model/byte_order.h"
#include "model/model_image.h"
#include "tests/support/model_layout.h"

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

struct Text {
  std::string file;
  std::string console;
  bool operator==(const Text&) const = default;
};

Text render(const ModelImage& image) {
  Text text;
  TextSink file;
  file.memory = &text.file;
  TextSink console;
  console.memory = &text.console;
  renderJiggleDefinitions(image, file, console);
  sinkFlush(file);
  sinkFlush(console);
  return text;
}

// The reference below restates the writer's tables with printf, independently of the
// writer's own formatting. Infinities and not-a-numbers get the C library's words on every
// platform, signed as stored.
std::string general(const unsigned char* params, std::size_t field) {
  const float value = readFloat32LE(params + field);
  if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  char text[64];
  std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
  return text;
}

std::string degrees(const unsigned char* params, std::size_t field) {
  const double whole =
      std::floor(static_cast<double>(readFloat32LE(params + field)) * 57.2957763671875 + 0.5);
  long long value = 0;
  if (std::isnan(whole)) {
    value = 0;
  } else if (whole >= 2147483647.0) {
    value = std::numeric_limits<std::int32_t>::max();
  } else if (whole <= -2147483648.0) {
    value = std::numeric_limits<std::int32_t>::min();
  } else {
    value = static_cast<long long>(whole);
  }
  return std::to_string(value);
}

std::string limitLines(const unsigned char* params, std::uint32_t flags) {
  std::string out;
  if ((flags & 0x04) != 0) {
    out += "\t\tyaw_constraint " + degrees(params, P::kYawMin) + " " +
           degrees(params, P::kYawMax) + "\n";
    out += "\t\tyaw_friction " + general(params, P::kYawFriction) + "\n";
  }
  if ((flags & 0x10) != 0) out += "\t\tangle_constraint " + degrees(params, P::kAngleLimit) + "\n";
  if ((flags & 0x08) != 0) {
    out += "\t\tpitch_constraint " + degrees(params, P::kPitchMin) + " " +
           degrees(params, P::kPitchMax) + "\n";
    out += "\t\tpitch_friction " + general(params, P::kPitchFriction) + "\n";
    out += "\t\tpitch_bounce " + general(params, P::kPitchBounce) + "\n";
  }
  return out;
}

void appendBone(const unsigned char* bone, Text& text) {
  const char* name =
      reinterpret_cast<const char*>(bone + readInt32LE(bone + BoneLayout::kNameOffset));
  const unsigned char* params = bone + readInt32LE(bone + BoneLayout::kRuleOffset);
  const std::uint32_t flags = readUint32LE(params);
  std::string& f = text.file;
  text.console += std::string("Jigglebone: ") + name + " ";
  f += std::string("$jigglebone \"") + name + "\" {\n";
  if ((flags & 0x01) != 0) {
    text.console += "- is_flexible ";
    f += "\tis_flexible {\n";
    f += "\t\tyaw_stiffness " + general(params, P::kYawStiffness) + "\n";
    f += "\t\tyaw_damping " + general(params, P::kYawDamping) + "\n";
    f += "\t\tpitch_stiffness " + general(params, P::kPitchStiffness) + "\n";
    f += "\t\tpitch_damping " + general(params, P::kPitchDamping) + "\n";
    f += "\t\talong_stiffness " + general(params, P::kAlongStiffness) + "\n";
    f += "\t\talong_damping " + general(params, P::kAlongDamping) + "\n";
    f += "\t\tlength " + general(params, P::kLength) + "\n";
    f += "\t\ttip_mass " + general(params, P::kTipMass) + "\n";
    f += limitLines(params, flags) + "\t}\n";
  }
  if ((flags & 0x02) != 0) {
    text.console += "- is_rigid ";
    f += "\tis_rigid {\n";
    f += "\t\tlength " + general(params, P::kLength) + "\n";
    f += "\t\ttip_mass " + general(params, P::kTipMass) + "\n";
    f += limitLines(params, flags) + "\t}\n";
  }
  if ((flags & 0x40) != 0) {
    text.console += "- has_base_spring ";
    f += "\n\thas_base_spring {\n";
    f += "\t\tbase_mass " + general(params, P::kBaseMass) + "\n";
    f += "\t\tstiffness " + general(params, P::kBaseStiffness) + "\n";
    f += "\t\tdamping " + general(params, P::kBaseDamping) + "\n";
    f += "\t\tleft_constraint " + general(params, P::kLeftMin) + " " +
         general(params, P::kLeftMax) + "\n";
    f += "\t\tleft_friction " + general(params, P::kLeftFriction) + "\n";
    f += "\t\tup_constraint " + general(params, P::kUpMin) + " " + general(params, P::kUpMax) +
         "\n";
    f += "\t\tup_friction " + general(params, P::kUpFriction) + "\n";
    f += "\t\tforward_constraint " + general(params, P::kForwardMin) + " " +
         general(params, P::kForwardMax) + "\n";
    f += "\t\tforward_friction " + general(params, P::kForwardFriction) + "\n";
    f += "\t}\n";
  }
  text.console += "\n";
  f += "}\n\n";
}

// The text an accepted (sound, normalised) image must give, and its jiggle bone count.
Text referenceText(const ModelImage& image, std::size_t& jiggleBones) {
  Text text;
  jiggleBones = 0;
  const std::int32_t bones = readInt32LE(image.bytes + HeaderLayout::kBoneCount);
  const std::int64_t table = readInt32LE(image.bytes + HeaderLayout::kBoneTableOffset);
  for (std::int32_t i = 0; i < bones; ++i) {
    const unsigned char* bone =
        image.bytes + table + static_cast<std::int64_t>(i) * static_cast<std::int64_t>(BoneLayout::kSize);
    if (readInt32LE(bone + BoneLayout::kRuleType) == kJiggleRuleValue &&
        readInt32LE(bone + BoneLayout::kRuleOffset) != 0) {
      appendBone(bone, text);
      ++jiggleBones;
    }
  }
  return text;
}

bool startsWith(const std::string& text, const char* prefix) {
  return text.compare(0, std::strlen(prefix), prefix) == 0;
}

bool endsWith(const std::string& text, const char* suffix) {
  const std::size_t length = std::strlen(suffix);
  return text.size() >= length && text.compare(text.size() - length, length, suffix) == 0;
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
  if (outputName != makeOutputName(modelName(image)) || !isUsableOutputName(outputName)) {
    return "an accepted image has a wrong or unusable output name";
  }
  const Text first = render(image);
  if (!(render(image) == first)) return "rendering the same image twice gave different text";
  if (!startsWith(first.file, "$jigglebone \"") || !endsWith(first.file, "}\n\n")) {
    return "the text does not open with \"$jigglebone\" or does not end with \"}\\n\\n\"";
  }
  std::size_t jiggleBones = 0;
  const Text expected = referenceText(image, jiggleBones);
  if (jiggleBones == 0) return "an image without jiggle bones was accepted";
  if (!(first == expected)) return "the text differs from the reference rendering";

  // Running the path again, on a fresh copy and on the normalised image, changes nothing.
  OwnedImage again(data, size);
  if (checkLoadedModel(again.image, "m.mdl").status != 0 ||
      !(render(again.image) == first)) {
    return "a second run over the same bytes gave a different result";
  }
  if (checkLoadedModel(image, "m.mdl").status != 0 || !(render(image) == first)) {
    return "the normalised image is not accepted with the same text";
  }
  return {};
}

}  // namespace

std::string findPropertyViolation(const unsigned char* data, std::size_t size) {
  OwnedImage owned(data, size);
  ModelImage& image = owned.image;
  const ModelCheck check = checkLoadedModel(image, "m.mdl");
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

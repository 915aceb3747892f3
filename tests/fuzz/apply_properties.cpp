#include "tests/fuzz/apply_properties.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "tests/support/layout_oracle.h"
#include "tests/support/in_memory.h"
#include "tests/support/model_builder.h"

namespace {

struct Bone {
  std::size_t start = 0;
  std::string name;
  bool named = false;  // the name lies inside the file, ended by a NUL
  bool jiggle = false;
  std::size_t record = 0;
};

// The bones of a model the checks accepted, read by the layout alone.
std::vector<Bone> bonesOf(const std::vector<unsigned char>& bytes) {
  std::vector<Bone> bones;
  const std::int32_t count = getInt32(bytes, HeaderLayout::kBoneCount);
  const std::int64_t table = getInt32(bytes, HeaderLayout::kBoneTableOffset);
  for (std::int32_t i = 0; i < count; ++i) {
    Bone bone;
    bone.start = static_cast<std::size_t>(table + std::int64_t{i} * static_cast<std::int64_t>(BoneLayout::kSize));
    const std::int64_t name = static_cast<std::int64_t>(bone.start) + getInt32(bytes, bone.start + BoneLayout::kNameOffset);
    if (name >= 0 && static_cast<std::size_t>(name) < bytes.size()) {
      const auto* text = reinterpret_cast<const char*>(bytes.data() + name);
      const void* end = std::memchr(text, 0, bytes.size() - static_cast<std::size_t>(name));
      bone.named = end != nullptr;
      if (bone.named) bone.name.assign(text, static_cast<const char*>(end));
    }
    const std::int32_t rule = getInt32(bytes, bone.start + BoneLayout::kRuleOffset);
    bone.jiggle = getInt32(bytes, bone.start + BoneLayout::kRuleType) == kJiggleRuleValue && rule != 0;
    bone.record = static_cast<std::size_t>(static_cast<std::int64_t>(bone.start) + rule);
    bones.push_back(bone);
  }
  return bones;
}

// Whether the dump's text of this model can be read back: every jiggle bone's name stands
// in quotes as it is (no quote, no control character) and names one bone only.
bool namesReadBack(const std::vector<Bone>& bones) {
  for (const Bone& bone : bones) {
    if (!bone.jiggle) continue;
    for (const char c : bone.name) {
      const auto byte = static_cast<unsigned char>(c);
      if (c == '"' || (byte < 0x20 && c != '\t') || byte == 0x7F) return false;
    }
    int bearers = 0;
    for (const Bone& other : bones) bearers += other.named && other.name == bone.name ? 1 : 0;
    if (bearers != 1) return false;
  }
  return true;
}

// A model refused is one line; edits refused are a line each, "e.qci:<line>: ", in line
// order, at most the listed ones and one line for the rest, just as the result lists them.
std::string checkRefusal(const AppliedModel& out) {
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < out.console.size();) {
    const std::size_t end = out.console.find('\n', start);
    if (end == std::string::npos) return "the console does not end with a line feed";
    lines.push_back(out.console.substr(start, end - start));
    start = end + 1;
  }
  if (out.status != 10) return lines.size() == 1 ? std::string() : "a refusal of the model is not one line";
  if (lines.empty() || out.refusals.empty() || out.refusals.size() > 20) return "the refusals are not listed";
  for (std::size_t i = 0; i < out.refusals.size(); ++i) {
    const EditNote& refusal = out.refusals[i];
    const std::string place = refusal.line == 0 ? "e.qci " : "e.qci:" + std::to_string(refusal.line) + ": ";
    if (i >= lines.size() || lines[i] != place + refusal.what) return "a refusal's line differs from the result's";
    if (i > 0 && refusal.line < out.refusals[i - 1].line) return "the refusals are out of line order";
  }
  if (lines.size() > out.refusals.size() + 1 ||
      (lines.size() == out.refusals.size() + 1 && lines.back().compare(0, 8, "... and ") != 0)) {
    return "more lines than refusals";
  }
  return {};
}

// What --skip-missing-bones may and may not change: it refuses no missing bone, skips only
// names that are no jiggle bone of the model, and where it skips nothing it is the run
// without it.
std::string checkSkipping(const std::vector<unsigned char>& model, const std::string& edits,
                          const std::vector<Bone>& bones, const AppliedModel& plain) {
  const AppliedModel skipping = applyInMemory(model, edits, true);
  for (const EditNote& refusal : skipping.refusals) {
    // By the whole shape of the two refusals, since a bone's name may hold any of their words.
    const std::string& what = refusal.what;
    const std::string noRule = " has no jiggle rule: adding a jiggle rule needs the model rebuilt from its source";
    const bool noBone = what.compare(0, 8, "no bone ") == 0 && what.find(" in this model") != std::string::npos;
    if (noBone || (what.size() > noRule.size() && what.compare(what.size() - noRule.size(), noRule.size(), noRule) == 0)) {
      return "a missing bone was refused though skipped";
    }
  }
  for (const SkippedBone& skipped : skipping.skipped) {
    bool plainBone = false;
    for (const Bone& bone : bones) {
      if (bone.named && bone.name == skipped.name && bone.jiggle) return "a jiggle bone was skipped";
      plainBone = plainBone || (bone.named && bone.name == skipped.name);
    }
    if (plainBone != skipped.inModel) return "a skipped bone's reason is wrong";
  }
  if (skipping.skipped.empty() && (skipping.status != plain.status || skipping.bytes != plain.bytes)) {
    return "skipping nothing changed the run";
  }
  if (!skipping.skipped.empty() && skipping.status == 0 && plain.status != 10) return "a skip was no refusal without it";
  return {};
}

// Every byte the apply changed lies in a jiggle bone's parameter record.
std::string checkChangedBytes(const std::vector<unsigned char>& model, const std::vector<Bone>& bones,
                              const AppliedModel& out) {
  if (out.bytes.size() != model.size()) return "the copy's size differs from the model's";
  for (std::size_t i = 0; i < model.size(); ++i) {
    if (out.bytes[i] == model[i]) continue;
    bool inRecord = false;
    for (const Bone& bone : bones) {
      inRecord = inRecord || (bone.jiggle && i >= bone.record && i < bone.record + JiggleLayout::kSize &&
                              (i - bone.record) / 4 != JiggleLayout::kUnread / 4);
    }
    if (!inRecord) return "a byte outside the jiggle records changed";
  }
  const bool changed = out.bytes != model;
  const bool said = out.console.compare(0, 8, "Changed ") == 0 || out.console.find("\nChanged ") != std::string::npos;
  const bool saidNone = out.console.size() >= 23 && out.console.compare(out.console.size() - 23, 23, "No jiggle bone changed\n") == 0;
  if (changed != said || changed == saidNone || changed != out.changed) {
    return "the console does not say what changed";
  }
  return {};
}

std::string checkPassingOver(const std::vector<unsigned char>& model, const std::string& edits,
                             const AppliedModel& plain);

}  // namespace

std::string findApplyViolation(const unsigned char* data, std::size_t size) {
  std::size_t modelSize = 0;
  if (size >= 4) {
    modelSize = static_cast<std::uint32_t>(data[0] | data[1] << 8 | data[2] << 16) |
                static_cast<std::uint32_t>(data[3]) << 24;
    modelSize = std::min(modelSize, size - 4);
  }
  const std::size_t start = size >= 4 ? 4 : size;
  const std::vector<unsigned char> model(data + start, data + start + modelSize);
  const std::string edits(reinterpret_cast<const char*>(data) + start + modelSize,
                          size - start - modelSize);

  const AppliedModel first = applyInMemory(model, edits);
  switch (first.status) {
    case 3: case 4: case 5: case 7: case 10: break;
    case 0: break;
    default: return "an unexpected status";
  }
  if (std::string passing = checkPassingOver(model, edits, first); !passing.empty()) return passing;
  // The model is refused exactly as its layout says; a sound one's edits are read. The
  // version rules move no bone, so the bones are read from the model as it is.
  const int modelStatus = statusByLayout(model);
  if (modelStatus != 0 ? first.status != modelStatus : first.status != 0 && first.status != 10) {
    return "the model got status " + std::to_string(first.status) + " where its layout gives " +
           std::to_string(modelStatus);
  }
  const bool sound = modelStatus == 0;
  const std::vector<Bone> bones = sound ? bonesOf(model) : std::vector<Bone>{};
  if (sound) {
    const std::string skipping = checkSkipping(model, edits, bones, first);
    if (!skipping.empty()) return skipping;
  }
  if (first.status != 0) return checkRefusal(first);
  const std::string changes = checkChangedBytes(model, bones, first);
  if (!changes.empty()) return changes;
  // Edits once applied change nothing more.
  const AppliedModel again = applyInMemory(first.bytes, edits);
  if (again.status != 0 || again.bytes != first.bytes || again.changed) {
    return "the same edits applied again changed the copy";
  }
  // A model's own text, where it can be read back, gives the model byte for byte: as
  // written, and laid out otherwise, so that it is read rather than recognised.
  if (namesReadBack(bones)) {
    for (const std::vector<unsigned char>* bytes : {&model, &first.bytes}) {
      const std::string text = dumpInMemory(*bytes).text.file;
      std::string relaidOut;
      // A brace that ends a line gets a space after it: a name holds no line end.
      for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && i > 0 && text[i - 1] == '{') relaidOut += ' ';
        relaidOut += text[i];
      }
      for (const std::string& own : {text, relaidOut}) {
        const AppliedModel back = applyInMemory(*bytes, own);
        if (back.status != 0 || back.bytes != *bytes) return "a model's own text changed it: " + back.console;
      }
    }
  }
  return {};
}

namespace {

// A command passed over before the edits, its block balanced but holding anything a model's
// source may (other commands, nested braces, braces in quotes and in comments), changes
// nothing: not the status, the bytes, the refusals nor the warnings. It is made from the
// edits' own bytes, on one line so that every line number stays, and put before edits that
// start with a command, which ends its arguments.
std::string checkPassingOver(const std::vector<unsigned char>& model, const std::string& edits,
                             const AppliedModel& plain) {
  if (edits.empty() || edits[0] != '$') return {};
  static const char* const kPieces[] = {"{ ", "} ", "\"a{\" ", "\"}\" ", "/* } { */ ", "$include ", "$mass 1 ", "x "};
  std::string block = "$model body \"x.smd\" { ";
  std::size_t depth = 1;
  for (std::size_t i = 0; i < edits.size() && i < 64; ++i) {
    const std::size_t piece = static_cast<unsigned char>(edits[i]) % 8;
    if (piece == 1 && depth == 1) continue;  // the block's own "}" comes last
    if (piece == 0) ++depth;
    if (piece == 1) --depth;
    block += kPieces[piece];
  }
  for (; depth > 0; --depth) block += "} ";
  const AppliedModel passed = applyInMemory(model, block + edits);
  const auto same = [](const std::vector<EditNote>& a, const std::vector<EditNote>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
      if (a[i].line != b[i].line || a[i].what != b[i].what) return false;
    }
    return true;
  };
  if (passed.status != plain.status || passed.bytes != plain.bytes || !same(passed.refusals, plain.refusals) ||
      !same(passed.warnings, plain.warnings)) {
    return "a balanced block passed over changed the run: " + passed.console;
  }
  return {};
}

}  // namespace

#include "run/apply_run.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "definitions/change_report.h"
#include "definitions/edited_values.h"
#include "definitions/jiggle_keywords.h"
#include "definitions/jiggle_reader.h"
#include "model/bone_names.h"
#include "model/jiggle_bone.h"
#include "model/jiggle_record_write.h"
#include "run/exit_status.h"

namespace {

// A mark per bone of the model, while the edits are applied.
constexpr unsigned char kNamed = 1;
constexpr unsigned char kChanged = 2;

// The bone an edit is being read for: its record as stored, and as edited so far.
struct EditedBone {
  std::int32_t index = 0;
  JiggleBone stored;
  std::uint32_t words[kJiggleWords] = {};
  std::size_t setOnLine[kJiggleWords] = {};  // where each word was given; 0: not given
  std::uint32_t textBits = 0;                // blocks and limit lines written
};

struct Apply {
  ModelImage& output;
  ModelImage& reading;
  const char* edits;
  std::size_t editsSize;
  BoneNameIndex names;
  unsigned char* marks = nullptr;
  EditedBone bone;
  std::size_t errorLine = 0;
  std::string error;
};

bool fail(Apply& apply, std::size_t line, std::string what) {
  apply.errorLine = line;
  apply.error = std::move(what);
  return false;
}

// Where the first block for this bone name stands: read again only for the message.
std::size_t firstLineNaming(const Apply& apply, const EditToken& name) {
  EditsReader reader;
  startEditsReader(reader, apply.edits, apply.editsSize);
  EditStatement statement;
  while (readEditStatement(reader, statement)) {
    if (statement.kind == EditStatementKind::BoneStart && statement.name.length == name.length &&
        std::memcmp(statement.name.text, name.text, name.length) == 0) {
      return statement.line;
    }
  }
  return 0;
}

bool startBone(Apply& apply, const EditStatement& statement) {
  const std::int32_t index =
      findBoneByName(apply.reading, apply.names, statement.name.text, statement.name.length);
  const std::string name = quotedForMessage(statement.name);
  if (index == kNoSuchBone) return fail(apply, statement.line, name + " is no bone of this model");
  if (index == kSharedBoneName) {
    return fail(apply, statement.line, name + " names more than one bone of this model");
  }
  const unsigned char* bone = boneRecord(apply.reading, index);
  if (!isJiggleBone(bone)) {
    return fail(apply, statement.line,
                name + " has no jiggle rule: adding a jiggle rule needs the model rebuilt from its source");
  }
  unsigned char& mark = apply.marks[index];
  if ((mark & kNamed) != 0) {
    return fail(apply, statement.line,
                name + " is named a second time (first on line " +
                    std::to_string(firstLineNaming(apply, statement.name)) + ")");
  }
  mark |= kNamed;
  EditedBone& edited = apply.bone;
  edited.index = index;
  decodeJiggleBone(apply.reading, bone, edited.stored);
  std::memcpy(edited.words, edited.stored.words, sizeof edited.words);
  std::memset(edited.setOnLine, 0, sizeof edited.setOnLine);
  edited.textBits = 0;
  return true;
}

bool takeValues(Apply& apply, const EditStatement& statement) {
  const JiggleKeyword& keyword = kJiggleKeywords[statement.keyword];
  EditedBone& edited = apply.bone;
  for (std::size_t i = 0; i < keyword.valueCount; ++i) {
    const std::size_t word = keyword.fields[i] / 4;
    std::uint32_t bits = 0;
    std::string error;
    if (!resolveEditedValue(statement.values[i], keyword.unit, edited.stored.words[word], bits, error)) {
      return fail(apply, statement.line, error);
    }
    // The two tip blocks share these fields: one field, one value.
    if (edited.setOnLine[word] != 0 && edited.words[word] != bits) {
      return fail(apply, statement.line,
                  std::string(keyword.keyword) + " is given two different values, here and on line " +
                      std::to_string(edited.setOnLine[word]));
    }
    edited.words[word] = bits;
    edited.setOnLine[word] = statement.line;
  }
  edited.textBits |= keyword.flag;
  return true;
}

void finishBone(Apply& apply) {
  EditedBone& edited = apply.bone;
  edited.words[JiggleParams::kFlags / 4] = editedFlags(jiggleFlags(edited.stored), edited.textBits);
  if (std::memcmp(edited.words, edited.stored.words, sizeof edited.words) == 0) return;
  // The record lies inside the checked copy, and the output has the copy's size.
  if (writeJiggleRecord(apply.output, edited.stored.record, edited.stored.words, edited.words)) {
    apply.marks[edited.index] |= kChanged;
  }
}

// The first pass: every statement read, checked and written into the output. Nothing is
// said yet, so that a refusal stays the only line.
bool applyStatements(Apply& apply) {
  EditsReader reader;
  startEditsReader(reader, apply.edits, apply.editsSize);
  EditStatement statement;
  while (readEditStatement(reader, statement)) {
    bool ok = true;
    switch (statement.kind) {
      case EditStatementKind::BoneStart: ok = startBone(apply, statement); break;
      case EditStatementKind::BlockStart: apply.bone.textBits |= kJiggleBlocks[statement.block].flag; break;
      case EditStatementKind::Values: ok = takeValues(apply, statement); break;
      case EditStatementKind::BlockEnd: break;
      case EditStatementKind::BoneEnd: finishBone(apply); break;
    }
    if (!ok) return false;
  }
  if (reader.errorLine != 0) return fail(apply, reader.errorLine, reader.error);
  return true;
}

// The second pass: a line per changed bone, in table order, and the same change made in
// the checked copy, which then reads as the output does.
void reportChanges(Apply& apply, TextSink& console) {
  const std::int32_t bones = boneCount(apply.reading);
  bool any = false;
  JiggleBone before;
  JiggleBone after;
  for (std::int32_t i = 0; i < bones; ++i) {
    if ((apply.marks[i] & kChanged) == 0) continue;
    decodeJiggleBone(apply.reading, boneRecord(apply.reading, i), before);
    after = before;
    decodeJiggleRecord(apply.output.bytes + before.record, after.words);
    any = renderBoneChanges(before, after, console) || any;
    writeJiggleRecord(apply.reading, before.record, before.words, after.words);
  }
  if (!any) sinkLiteral(console, "No jiggle bone changed\n");
}

}  // namespace

ModelCheck checkModelToApply(const ModelImage& model, const char* path, ModelImage& reading) {
  reading = ModelImage{};
  if (model.size > 0) {
    reading.bytes = static_cast<unsigned char*>(std::malloc(model.size));
    if (reading.bytes == nullptr) return cannotRead(path);
    std::memcpy(reading.bytes, model.bytes, model.size);
    reading.size = model.size;
  }
  return checkLoadedModel(reading, path);
}

void releaseModelCopy(ModelImage& reading) {
  std::free(reading.bytes);
  reading = ModelImage{};
}

ModelCheck applyEdits(ModelImage& output, ModelImage& reading, const char* edits,
                      std::size_t editsSize, const char* modelPath, const char* editsPath,
                      TextSink& console) {
  Apply apply{output, reading, edits, editsSize, {}, nullptr, {}, 0, {}};
  const std::int32_t bones = boneCount(reading);
  apply.marks = static_cast<unsigned char*>(std::calloc(bones > 0 ? static_cast<std::size_t>(bones) : 1, 1));
  ModelCheck outcome;
  if (apply.marks == nullptr || !indexBoneNames(reading, apply.names)) {
    outcome = cannotRead(modelPath);
  } else if (!applyStatements(apply)) {
    outcome = refusal(kExitEditsRefused, std::string(editsPath) + ":" +
                                             std::to_string(apply.errorLine) + ": " + apply.error + "\n");
  } else {
    reportChanges(apply, console);
  }
  releaseBoneNameIndex(apply.names);
  std::free(apply.marks);
  return outcome;
}

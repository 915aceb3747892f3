#include "run/apply_run.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "definitions/change_report.h"
#include "definitions/edited_values.h"
#include "definitions/jiggle_keywords.h"
#include "definitions/jiggle_reader.h"
#include "definitions/jiggle_text.h"
#include "model/bone_names.h"
#include "model/jiggle_bone.h"
#include "model/jiggle_record_write.h"
#include "model/record_neighbours.h"
#include "run/exit_status.h"

namespace {

// A bone's record before its edit, kept for the report: a model unchanged keeps none.
struct ChangedRecord {
  std::int32_t bone;
  std::size_t line;  // of the bone's block
  std::uint32_t before[kJiggleWords];
};

// Grown by doubling; plain memory, so that running out of it is a refusal, not an end.
struct ChangeLog {
  ChangedRecord* records = nullptr;
  std::size_t count = 0;
  std::size_t room = 0;
};

bool logChange(ChangeLog& log, std::int32_t bone, std::size_t line,
               const std::uint32_t (&before)[kJiggleWords]) {
  if (log.count == log.room) {
    const std::size_t room = log.room == 0 ? 64 : 2 * log.room;
    void* grown = std::realloc(log.records, room * sizeof(ChangedRecord));
    if (grown == nullptr) return false;
    log.records = static_cast<ChangedRecord*>(grown);
    log.room = room;
  }
  ChangedRecord& record = log.records[log.count++];
  record.bone = bone;
  record.line = line;
  std::memcpy(record.before, before, sizeof record.before);
  return true;
}

// The bone an edit is being read for: its record as stored, and as edited so far.
struct EditedBone {
  std::int32_t index = 0;
  std::size_t line = 0;  // of its block
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
  unsigned char* named = nullptr;  // a byte per bone of the model: named by a block yet?
  ChangeLog changes;
  TextSink* storedText = nullptr;  // a bone's block as stored, to compare with; on the heap, being large
  RecordNeighbours neighbours;
  bool mapped = false;
  bool outOfMemory = false;
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
  const auto refuse = [&](const std::string& what) {
    return fail(apply, statement.line, quotedForMessage(statement.name) + what);
  };
  if (index == kNoSuchBone) return refuse(" is no bone of this model");
  if (index == kSharedBoneName) return refuse(" names more than one bone of this model");
  const unsigned char* bone = boneRecord(apply.reading, index);
  if (!isJiggleBone(bone)) {
    return refuse(" has no jiggle rule: adding a jiggle rule needs the model rebuilt from its source");
  }
  if (apply.named[index] != 0) {
    return refuse(" is named a second time (first on line " +
                  std::to_string(firstLineNaming(apply, statement.name)) + ")");
  }
  apply.named[index] = 1;
  EditedBone& edited = apply.bone;
  edited.index = index;
  edited.line = statement.line;
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
      return fail(apply, statement.values[i].line, error);
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

bool finishBone(Apply& apply, const EditStatement& statement) {
  EditedBone& edited = apply.bone;
  edited.words[JiggleParams::kFlags / 4] = editedFlags(jiggleFlags(edited.stored), edited.textBits);
  if (std::memcmp(edited.words, edited.stored.words, sizeof edited.words) == 0) return true;
  // Mapped once, at the first change: a model left as it was needs no map.
  if (!apply.mapped) {
    apply.mapped = true;
    const bool descriptorsRewritten = modelVersion(apply.output) < kCurrentVersion;
    apply.outOfMemory = !mapRecordNeighbours(apply.reading, descriptorsRewritten, apply.neighbours);
  }
  if (apply.outOfMemory || !logChange(apply.changes, edited.index, edited.line, edited.stored.words)) {
    apply.outOfMemory = true;
    return fail(apply, statement.line, "out of memory");
  }
  if (!recordStandsAlone(apply.neighbours, edited.stored.record)) {
    return fail(apply, edited.line,
                quotedForMessage(EditToken{edited.stored.name, edited.stored.nameLength, edited.line}) +
                    "'s parameters lie over another part of the model, which changing them would change too");
  }
  // The record lies inside the checked copy, and the output has the copy's size. The copy,
  // where there is one, changes too, so that it reads as the output does.
  writeJiggleRecord(apply.output, edited.stored.record, edited.stored.words, edited.words);
  if (apply.reading.bytes != apply.output.bytes) {
    writeJiggleRecord(apply.reading, edited.stored.record, edited.stored.words, edited.words);
  }
  return true;
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
      case EditStatementKind::BoneStart:
        ok = startBone(apply, statement);
        // Most blocks come back as written: compared whole with the bone's own text, they
        // need no reading.
        if (ok && apply.storedText != nullptr) {
          TextSink& stored = *apply.storedText;
          stored.used = 0;
          renderJiggleBoneRest(apply.bone.stored, stored);
          skipUneditedBone(reader, stored.buffer, stored.used);
        }
        break;
      case EditStatementKind::BlockStart: apply.bone.textBits |= kJiggleBlocks[statement.block].flag; break;
      case EditStatementKind::Values: ok = takeValues(apply, statement); break;
      case EditStatementKind::BlockEnd: break;
      case EditStatementKind::BoneEnd: ok = finishBone(apply, statement); break;
    }
    if (!ok) return false;
  }
  if (reader.errorLine != 0) return fail(apply, reader.errorLine, reader.error);
  return true;
}

// The second pass: a line per changed bone, in the order of the edits.
void reportChanges(Apply& apply, TextSink& console) {
  bool any = false;
  JiggleBone before;
  JiggleBone after;
  for (std::size_t i = 0; i < apply.changes.count; ++i) {
    const ChangedRecord& change = apply.changes.records[i];
    decodeJiggleBone(apply.reading, boneRecord(apply.reading, change.bone), before);
    std::memcpy(before.words, change.before, sizeof before.words);
    after = before;
    decodeJiggleRecord(apply.output.bytes + before.record, after.words);
    any = renderBoneChanges(before, after, console) || any;
  }
  if (!any) sinkLiteral(console, "No jiggle bone changed\n");
}

}  // namespace

ModelCheck checkModelToApply(ModelImage& model, const char* path, ModelImage& reading) {
  // Normalisation leaves an image of the current version as it is: the model itself is then
  // read, and no copy made.
  const bool current = model.size >= 8 && modelMagic(model) == kStudioMagic &&
                       modelVersion(model) == kCurrentVersion;
  reading = model;
  if (!current && model.size > 0) {
    reading.bytes = static_cast<unsigned char*>(std::malloc(model.size));
    if (reading.bytes == nullptr) return cannotRead(path);
    std::memcpy(reading.bytes, model.bytes, model.size);
  }
  return checkLoadedModel(reading, path);
}

void releaseModelCopy(const ModelImage& model, ModelImage& reading) {
  if (reading.bytes != model.bytes) std::free(reading.bytes);
  reading = ModelImage{};
}

ModelCheck applyEdits(ModelImage& output, ModelImage& reading, const char* edits,
                      std::size_t editsSize, const char* modelPath, const char* editsPath,
                      TextSink& console) {
  Apply apply{output, reading, edits, editsSize, {}, nullptr, {}, nullptr, {}, false, false, {}, 0, {}};
  // Without it every block is read; with it, those written back as they were are compared.
  apply.storedText = new (std::nothrow) TextSink;
  const std::int32_t bones = boneCount(reading);
  apply.named = static_cast<unsigned char*>(std::calloc(bones > 0 ? static_cast<std::size_t>(bones) : 1, 1));
  ModelCheck outcome;
  if (apply.named == nullptr || !indexBoneNames(reading, apply.names)) {
    outcome = cannotRead(modelPath);
  } else if (!applyStatements(apply)) {
    outcome = apply.outOfMemory
                  ? cannotRead(modelPath)
                  : refusal(kExitEditsRefused, std::string(editsPath) + ":" +
                                                   std::to_string(apply.errorLine) + ": " + apply.error + "\n");
  } else {
    reportChanges(apply, console);
  }
  releaseBoneNameIndex(apply.names);
  releaseRecordNeighbours(apply.neighbours);
  std::free(apply.named);
  std::free(apply.changes.records);
  delete apply.storedText;
  return outcome;
}

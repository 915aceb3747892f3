#include "run/apply_edits.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#include "definitions/angle_conversion.h"
#include "definitions/edited_values.h"
#include "definitions/jiggle_keywords.h"
#include "definitions/jiggle_reader.h"
#include "definitions/jiggle_text.h"
#include "model/bone_names.h"
#include "model/byte_order.h"
#include "model/jiggle_record_write.h"
#include "model/record_neighbours.h"

namespace {

// What is done with the block being read.
enum class BoneUse : std::uint8_t {
  None,     // no bone open, or one left unclosed
  Check,    // read for faults only: no bone of the model takes it
  Apply,    // written into the bone's record
};

// The bone an edit is being read for: its record as stored, and as edited so far.
struct EditedBone {
  BoneUse use = BoneUse::None;
  std::int32_t index = 0;
  std::size_t line = 0;  // of its block
  JiggleBone stored;
  std::uint32_t words[kJiggleWords] = {};
  std::size_t setOnLine[kJiggleWords] = {};  // where each word was given; 0: not given
  EditToken given[kJiggleWords];             // the text each was given as
  std::uint32_t textBits = 0;                // blocks written and limits switched on
  std::size_t blockLines[kJiggleKeywordCount] = {};  // the open block's lines, by keyword
};

struct Apply {
  ModelImage& output;
  ModelImage& reading;
  const char* edits;
  std::size_t editsSize;
  bool skipMissingBones;
  const MemoryHook& memory;
  EditsFindings& findings;
  BoneNameIndex names{};
  std::size_t* namedOn = nullptr;  // a line per bone of the model: where a block first named it
  TextSink* storedText = nullptr;  // a bone's block as stored, to compare with; on the heap, being large
  RecordNeighbours neighbours{};
  bool mapped = false;
  EditedBone bone{};
};

void note(Apply& apply, const EditFault& fault) { keepEarliest(apply.findings.faults, fault); }

void noteAbout(Apply& apply, EditFaultKind kind, std::size_t line, const EditToken& word) {
  note(apply, makeFault(kind, line, word));
}

// A fault that names another line: where the bone was named first, or the field given.
void noteTwice(Apply& apply, EditFaultKind kind, std::size_t line, std::size_t otherLine, const EditToken& word,
               std::uint8_t keyword) {
  EditFault fault = makeFault(kind, line, word);
  fault.otherLine = otherLine;
  fault.keyword = keyword;
  note(apply, fault);
}

bool failed(const Apply& apply) { return apply.findings.faults.total > 0 || apply.findings.outOfMemory; }

// The block that names no bone this edit can change: skipped, or refused.
void refuseBone(Apply& apply, const EditStatement& statement, EditFaultKind kind, bool skippable) {
  if (skippable && apply.skipMissingBones) {
    const SkippedBlock skipped{statement.line, statement.name, kind == EditFaultKind::NoJiggleRule};
    if (!addTo(apply.findings.skipped, skipped, apply.memory)) apply.findings.outOfMemory = true;
    return;
  }
  noteAbout(apply, kind, statement.line, statement.name);
}

void startBone(Apply& apply, EditsReader& reader, const EditStatement& statement) {
  EditedBone& edited = apply.bone;
  edited.use = BoneUse::Check;
  edited.line = statement.line;
  edited.stored = JiggleBone{};
  std::memset(edited.words, 0, sizeof edited.words);
  std::memset(edited.setOnLine, 0, sizeof edited.setOnLine);
  edited.textBits = 0;
  const std::int32_t index =
      findBoneByName(apply.reading, apply.names, statement.name.text, statement.name.length);
  if (index == kNoSuchBone) return refuseBone(apply, statement, EditFaultKind::NoSuchBone, true);
  if (index == kSharedBoneName) return refuseBone(apply, statement, EditFaultKind::SharedName, false);
  const unsigned char* bone = boneRecord(apply.reading, index);
  if (!isJiggleBone(bone)) return refuseBone(apply, statement, EditFaultKind::NoJiggleRule, true);
  if (apply.namedOn[index] != 0) {
    return noteTwice(apply, EditFaultKind::NamedTwice, statement.line, apply.namedOn[index], statement.name, 0);
  }
  apply.namedOn[index] = statement.line;
  edited.use = BoneUse::Apply;
  edited.index = index;
  decodeJiggleBone(apply.reading, bone, edited.stored);
  std::memcpy(edited.words, edited.stored.words, sizeof edited.words);
  // Most blocks come back as written: compared whole with the bone's own text, they need
  // no reading.
  if (apply.storedText != nullptr) {
    TextSink& stored = *apply.storedText;
    stored.used = 0;
    renderJiggleBoneRest(edited.stored, stored);
    skipUneditedBone(reader, stored.buffer, stored.used, jiggleBoneRestLines(jiggleFlags(edited.stored)));
  }
}

void startBlock(Apply& apply, const EditStatement& statement) {
  apply.bone.textBits |= kJiggleBlocks[statement.block].flag;
  std::memset(apply.bone.blockLines, 0, sizeof apply.bone.blockLines);
}

void takeValues(Apply& apply, const EditStatement& statement) {
  const JiggleKeyword& keyword = kJiggleKeywords[statement.keyword];
  EditedBone& edited = apply.bone;
  if (edited.blockLines[statement.keyword] == 0) edited.blockLines[statement.keyword] = statement.line;
  for (std::size_t i = 0; i < keyword.valueCount; ++i) {
    const std::size_t word = keyword.fields[i] / 4;
    std::uint32_t bits = 0;
    const EditToken& value = statement.values[i];
    const ParsedNumber parsed = resolveEditedValue(value, keyword.unit, edited.stored.words[word], bits);
    if (parsed != ParsedNumber::Finite) {
      return noteAbout(apply, parsed == ParsedNumber::TooLarge ? EditFaultKind::TooLarge : EditFaultKind::NotANumber,
                       value.line, value);
    }
    // The two tip blocks share these fields: one field, one value.
    if (edited.setOnLine[word] != 0 && edited.words[word] != bits) {
      return noteTwice(apply, EditFaultKind::TwoValues, statement.line, edited.setOnLine[word], {}, statement.keyword);
    }
    edited.words[word] = bits;
    edited.setOnLine[word] = statement.line;
    edited.given[word] = value;
  }
  if (keyword.role == JiggleRole::Limit) edited.textBits |= keyword.flag;
}

// A friction or bounce line only tunes a limit whose own line stands in the same block.
void endBlock(Apply& apply, const EditStatement& statement) {
  const JiggleBlock& block = kJiggleBlocks[statement.block];
  const EditedBone& edited = apply.bone;
  for (std::size_t k = block.first; k < block.end; ++k) {
    const JiggleKeyword& keyword = kJiggleKeywords[k];
    if (keyword.flag == 0 || keyword.role == JiggleRole::Limit || edited.blockLines[k] == 0) continue;
    if (edited.blockLines[limitLineOf(keyword.flag)] != 0) continue;
    EditFault fault = makeFault(EditFaultKind::LimitTuningAlone, edited.blockLines[k]);
    fault.keyword = static_cast<std::uint8_t>(k);
    note(apply, fault);
  }
}

// The roles whose values are amounts, never below zero.
bool isAmount(JiggleRole role) {
  return role == JiggleRole::Stiffness || role == JiggleRole::Damping || role == JiggleRole::Mass ||
         role == JiggleRole::Length;
}

void warn(Apply& apply, EditWarningKind kind, std::size_t keyword, std::size_t line, const EditToken& first,
          const EditToken& second = {}) {
  EditWarning warning;
  warning.kind = kind;
  warning.line = line;
  warning.keyword = static_cast<std::uint8_t>(keyword);
  warning.values[0] = first;
  warning.values[1] = second;
  keepEarliest(apply.findings.warnings, warning);
}

// Values the edit changes that cannot be meant: said, not refused.
void warnOfValues(Apply& apply) {
  const EditedBone& edited = apply.bone;
  for (std::size_t k = 0; k < kJiggleKeywordCount; ++k) {
    const JiggleKeyword& keyword = kJiggleKeywords[k];
    const std::size_t first = keyword.fields[0] / 4;
    if (edited.setOnLine[first] == 0) continue;
    bool changed = false;
    float values[2] = {};
    EditToken texts[2];
    for (std::size_t i = 0; i < keyword.valueCount; ++i) {
      const std::size_t word = keyword.fields[i] / 4;
      changed = changed || edited.words[word] != edited.stored.words[word];
      values[i] = floatFromBits(edited.words[word]);
      texts[i] = edited.given[word];
    }
    if (!changed) continue;
    const std::size_t line = edited.setOnLine[first];
    if (isAmount(keyword.role) && values[0] < 0) warn(apply, EditWarningKind::Negative, k, line, texts[0]);
    if (keyword.unit == JiggleUnit::WholeDegrees) {
      for (std::size_t i = 0; i < keyword.valueCount; ++i) {
        if (std::abs(static_cast<double>(toWholeDegrees(values[i]))) > 180) {
          warn(apply, EditWarningKind::BeyondHalfTurn, k, line, texts[i]);
        }
      }
    }
    if (keyword.valueCount == 2 && values[0] > values[1]) {
      warn(apply, EditWarningKind::MinimumAboveMaximum, k, line, texts[0], texts[1]);
    }
  }
}

void finishBone(Apply& apply) {
  EditedBone& edited = apply.bone;
  const bool applying = edited.use == BoneUse::Apply;
  edited.use = BoneUse::None;
  if (!applying) return;
  edited.words[JiggleParams::kFlags / 4] = editedFlags(jiggleFlags(edited.stored), edited.textBits);
  if (std::memcmp(edited.words, edited.stored.words, sizeof edited.words) == 0) return;
  // Mapped once, at the first change: a model left as it was needs no map.
  if (!apply.mapped) {
    apply.mapped = true;
    const bool descriptorsRewritten = modelVersion(apply.output) < kCurrentVersion;
    if (!mapRecordNeighbours(apply.reading, descriptorsRewritten, apply.memory, apply.neighbours)) {
      apply.findings.outOfMemory = true;
    }
  }
  if (apply.findings.outOfMemory) return;
  const EditToken name{edited.stored.name, edited.stored.nameLength, edited.line};
  if (!recordStandsAlone(apply.neighbours, edited.stored.record)) {
    return noteAbout(apply, EditFaultKind::RecordOverlaps, edited.line, name);
  }
  warnOfValues(apply);
  if (failed(apply)) return;  // nothing will be written: the faults are all that is wanted
  ChangedRecord change{edited.index, edited.line, edited.stored.name, edited.stored.nameLength, {}, {}};
  std::memcpy(change.before, edited.stored.words, sizeof change.before);
  std::memcpy(change.after, edited.words, sizeof change.after);
  if (!addTo(apply.findings.changes, change, apply.memory)) {
    apply.findings.outOfMemory = true;
    return;
  }
  // The copy, where there is one, changes too, so that it reads as the output does.
  const bool written =
      writeJiggleRecord(apply.output, edited.stored.record, edited.stored.words, edited.words) &&
      (apply.reading.bytes == apply.output.bytes ||
       writeJiggleRecord(apply.reading, edited.stored.record, edited.stored.words, edited.words));
  if (!written) noteAbout(apply, EditFaultKind::RecordOutside, edited.line, name);
}

void applyStatements(Apply& apply) {
  EditsReader reader;
  startEditsReader(reader, apply.edits, apply.editsSize);
  EditStatement statement;
  while (readEditStatement(reader, statement) && !apply.findings.outOfMemory) {
    const bool applying = apply.bone.use != BoneUse::None;
    switch (statement.kind) {
      case EditStatementKind::BoneStart: startBone(apply, reader, statement); break;
      case EditStatementKind::BlockStart: if (applying) startBlock(apply, statement); break;
      case EditStatementKind::Values: if (applying) takeValues(apply, statement); break;
      case EditStatementKind::BlockEnd: if (applying) endBlock(apply, statement); break;
      case EditStatementKind::BoneEnd: finishBone(apply); break;
      case EditStatementKind::Fault:
        note(apply, statement.fault);
        // A bone left unclosed is given up: what follows is not its.
        if (statement.fault.kind == EditFaultKind::Unclosed || statement.fault.kind == EditFaultKind::UnclosedAtEnd) {
          apply.bone.use = BoneUse::None;
        }
        break;
    }
  }
  apply.findings.passedOver = reader.passedOver;
}

bool isModel(const char* edits, std::size_t size) { return size >= 4 && std::memcmp(edits, "IDST", 4) == 0; }

}  // namespace

void applyEditsText(ModelImage& output, ModelImage& reading, const char* edits, std::size_t size,
                    bool skipMissingBones, const MemoryHook& memory, EditsFindings& findings) {
  findings = EditsFindings{};
  Apply apply{.output = output, .reading = reading, .edits = edits, .editsSize = size,
              .skipMissingBones = skipMissingBones, .memory = memory, .findings = findings};
  // A model given where the edits go would read as a screen of faults: one says it all.
  if (isModel(edits, size)) return noteAbout(apply, EditFaultKind::ModelAsEdits, 0, {});
  // Without it every block is read; with it, those written back as they were are compared.
  void* storedText = allocateWith(memory, sizeof(TextSink));
  if (storedText != nullptr) apply.storedText = new (storedText) TextSink{};
  const std::int32_t bones = boneCount(reading);
  apply.namedOn = static_cast<std::size_t*>(
      allocateZeroedWith(memory, bones > 0 ? static_cast<std::size_t>(bones) : 1, sizeof *apply.namedOn));
  if (apply.namedOn == nullptr || !indexBoneNames(reading, memory, apply.names)) {
    findings.outOfMemory = true;
  } else {
    applyStatements(apply);
  }
  releaseBoneNameIndex(memory, apply.names);
  releaseRecordNeighbours(memory, apply.neighbours);
  freeWith(memory, apply.namedOn);
  freeWith(memory, apply.storedText);
}

void releaseFindings(EditsFindings& findings, const MemoryHook& memory) {
  releaseList(findings.skipped, memory);
  releaseList(findings.changes, memory);
}

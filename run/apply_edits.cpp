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
  TextSpan given[kJiggleWords];             // the text each was given as
  std::uint32_t textBits = 0;                // blocks written and limits switched on
  std::uint32_t clearedBits = 0;             // the bits of the switch lines written
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
  ByteSink* storedText = nullptr;  // a bone's block as stored, to compare with; on the heap, being large
  RecordNeighbours neighbours{};
  bool mapped = false;
  EditedBone bone{};
  std::size_t bonesNamed = 0;  // the blocks the text holds
};

void note(Apply& apply, const EditFault& fault) { keepEarliest(apply.findings.faults, fault); }

void noteAbout(Apply& apply, EditFaultKind kind, std::size_t line, const TextSpan& word) {
  note(apply, makeFault(kind, line, word));
}

// A fault that names another line: where the bone was named first, or the field given.
void noteTwice(Apply& apply, EditFaultKind kind, std::size_t line, std::size_t otherLine, const TextSpan& word,
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
  edited.clearedBits = 0;
  ++apply.bonesNamed;
  if (statement.typographicQuotes) {
    EditWarning warning;
    warning.kind = EditWarningKind::TypographicQuotes;
    warning.line = statement.line;
    warning.name = statement.name;
    keepEarliest(apply.findings.warnings, warning);
  }
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
    ByteSink& stored = *apply.storedText;
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
  if (isSwitch(keyword)) {
    edited.clearedBits |= keyword.flag;
    return;
  }
  for (std::size_t i = 0; i < keyword.valueCount; ++i) {
    const std::size_t word = keyword.fields[i] / 4;
    std::uint32_t bits = 0;
    const TextSpan& value = statement.values[i];
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
    if (keyword.flag == 0 || isSwitch(keyword) || keyword.role == JiggleRole::Limit || edited.blockLines[k] == 0) {
      continue;
    }
    if (edited.blockLines[limitLineOf(keyword.flag)] != 0) continue;
    EditFault fault = makeFault(EditFaultKind::LimitTuningAlone, edited.blockLines[k]);
    fault.keyword = static_cast<std::uint8_t>(k);
    note(apply, fault);
  }
}

void warn(Apply& apply, EditWarningKind kind, std::size_t keyword, std::size_t line, const TextSpan& first,
          const TextSpan& second = {}) {
  EditWarning warning;
  warning.kind = kind;
  warning.line = line;
  warning.keyword = static_cast<std::uint8_t>(keyword);
  warning.values[0] = first;
  warning.values[1] = second;
  keepEarliest(apply.findings.warnings, warning);
}

// An angle changed to a number the dump will show otherwise, rounded to whole degrees.
void warnOfFraction(Apply& apply, std::size_t keyword, std::size_t line, std::size_t word) {
  const EditedBone& edited = apply.bone;
  if (edited.words[word] == edited.stored.words[word]) return;
  const TextSpan& text = edited.given[word];
  double degrees = 0;
  const float stored = floatFromBits(edited.words[word]);
  if (parseFloat64(text.text, text.length, degrees) != ParsedNumber::Finite ||
      degrees == static_cast<double>(toWholeDegrees(stored))) {
    return;
  }
  EditWarning warning;
  warning.kind = EditWarningKind::WholeDegreesShown;
  warning.line = line;
  warning.keyword = static_cast<std::uint8_t>(keyword);
  warning.values[0] = text;
  warning.bits[0] = edited.words[word];
  keepEarliest(apply.findings.warnings, warning);
}

// What the edit removes that the bone has, a warning each, before it is gone: a block left
// out, and a limit whose line is left out while the tip shows limits. Each names the line
// that keeps it, with the stored values. The model's own text removes nothing.
void warnOfRemovals(Apply& apply, std::uint32_t flags) {
  const EditedBone& edited = apply.bone;
  const std::uint32_t stored = jiggleFlags(edited.stored);
  const TextSpan name{edited.stored.name, edited.stored.nameLength, edited.line};
  std::uint8_t tipBlock = kNoBlock;  // where a limit's line goes: the edit's first tip block, else the bone's
  for (const std::uint32_t bits : {flags, stored}) {
    for (std::size_t b = 0; b < kJiggleBlockCount && tipBlock == kNoBlock; ++b) {
      if ((kJiggleBlocks[b].flag & kTipBits & bits) != 0) tipBlock = static_cast<std::uint8_t>(b);
    }
  }
  EditWarning warning;
  warning.line = edited.line;
  warning.name = name;
  for (std::size_t b = 0; b < kJiggleBlockCount; ++b) {
    if ((stored & kJiggleBlocks[b].flag) == 0 || (flags & kJiggleBlocks[b].flag) != 0) continue;
    warning.kind = EditWarningKind::LosesBlock;
    warning.block = static_cast<std::uint8_t>(b);
    keepEarliest(apply.findings.warnings, warning);
  }
  if ((stored & kTipBits) == 0) return;  // limits the text never showed are kept
  for (std::size_t k = 0; k < kJiggleKeywordCount; ++k) {
    const JiggleKeyword& keyword = kJiggleKeywords[k];
    if (keyword.role != JiggleRole::Limit || keyword.flag == 0) continue;
    if ((stored & keyword.flag) == 0 || (flags & keyword.flag) != 0) continue;
    warning.kind = EditWarningKind::LosesLimit;
    warning.keyword = static_cast<std::uint8_t>(k);
    warning.block = tipBlock;
    for (std::size_t i = 0; i < keyword.valueCount; ++i) warning.bits[i] = edited.stored.words[keyword.fields[i] / 4];
    keepEarliest(apply.findings.warnings, warning);
  }
}

// Values the edit changes that cannot be meant: said, not refused.
void warnOfValues(Apply& apply) {
  const EditedBone& edited = apply.bone;
  for (std::size_t k = 0; k < kJiggleKeywordCount; ++k) {
    const JiggleKeyword& keyword = kJiggleKeywords[k];
    const std::size_t first = keyword.fields[0] / 4;
    if (isSwitch(keyword) || edited.setOnLine[first] == 0) continue;
    bool changed = false;
    float values[2] = {};
    TextSpan texts[2];
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
        warnOfFraction(apply, k, line, keyword.fields[i] / 4);
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
  edited.words[JiggleParams::kFlags / 4] =
      editedFlags(jiggleFlags(edited.stored), edited.textBits, edited.clearedBits);
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
  const TextSpan name{edited.stored.name, edited.stored.nameLength, edited.line};
  if (!recordStandsAlone(apply.neighbours, edited.stored.record)) {
    return noteAbout(apply, EditFaultKind::RecordOverlaps, edited.line, name);
  }
  warnOfRemovals(apply, edited.words[JiggleParams::kFlags / 4]);
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

}  // namespace

void applyEditsText(ModelImage& output, ModelImage& reading, const char* edits, std::size_t size,
                    bool skipMissingBones, const MemoryHook& memory, EditsFindings& findings) {
  findings = EditsFindings{};
  Apply apply{.output = output, .reading = reading, .edits = edits, .editsSize = size,
              .skipMissingBones = skipMissingBones, .memory = memory, .findings = findings};
  // A model given where the edits go would read as a screen of faults: one says it all.
  if (startsAsStudioModel(reinterpret_cast<const unsigned char*>(edits), size)) return noteAbout(apply, EditFaultKind::ModelAsEdits, 0, {});
  // Without it every block is read; with it, those written back as they were are compared.
  void* storedText = allocateWith(memory, sizeof(ByteSink));
  if (storedText != nullptr) apply.storedText = new (storedText) ByteSink;
  const std::int32_t bones = boneCount(reading);
  apply.namedOn = static_cast<std::size_t*>(
      allocateZeroedWith(memory, bones > 0 ? static_cast<std::size_t>(bones) : 1, sizeof *apply.namedOn));
  if (apply.namedOn == nullptr || !indexBoneNames(reading, memory, apply.names)) {
    findings.outOfMemory = true;
  } else {
    applyStatements(apply);
  }
  // A text of several bones, one of which the model lacks, is likely a tuning made for
  // another model of the character.
  if (apply.bonesNamed > 1) {
    for (std::size_t i = 0; i < findings.faults.count; ++i) {
      EditFault& fault = findings.faults.listed[i];
      fault.suggestSkipping = fault.kind == EditFaultKind::NoSuchBone;
    }
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

void changedBones(const ChangedRecord& change, JiggleBone& before, JiggleBone& after) {
  before = JiggleBone{};
  before.name = change.name;
  before.nameLength = change.nameLength;
  std::memcpy(before.words, change.before, sizeof before.words);
  after = before;
  std::memcpy(after.words, change.after, sizeof after.words);
}

#include "definitions/edit_messages.h"

#include <cstring>

#include "definitions/angle_conversion.h"
#include "definitions/jiggle_keywords.h"
#include "definitions/near_words.h"
#include "definitions/value_text.h"
#include "model/byte_order.h"

namespace {

// Echoed words are cut: a message is one line, however long the word that caused it.
constexpr std::size_t kShownLength = 80;

std::string shown(const TextSpan& token) {
  if (token.length <= kShownLength) return std::string(token.text, token.length);
  return std::string(token.text, kShownLength) + "...";
}

std::string quoted(const TextSpan& token) {
  std::string text(1, '"');
  text += shown(token);
  text += '"';
  return text;
}

std::string describe(const EditFault& fault) {
  switch (fault.foundKind) {
    case FoundKind::End: return "the end of the text";
    case FoundKind::Open: return "\"{\"";
    case FoundKind::Close: return "\"}\"";
    case FoundKind::Quoted: return quoted(fault.found);
    case FoundKind::Word: break;
  }
  return shown(fault.found);
}

const char* keywordOf(const EditFault& fault) { return kJiggleKeywords[fault.keyword].keyword; }

std::string blockName(std::uint8_t block) {
  return block == kNoBlock ? std::string("$jigglebone") : std::string(kJiggleBlocks[block].keyword);
}

// The nearest of `count` candidates within two edits of the word, or nullptr.
template <typename Name>
const char* nearest(const TextSpan& word, std::size_t count, Name name) {
  const char* best = nullptr;
  std::size_t bestEdits = kFarApart;
  for (std::size_t i = 0; i < count; ++i) {
    const char* candidate = name(i);
    const std::size_t edits = editsApart(word.text, word.length, candidate, std::strlen(candidate));
    if (edits < bestEdits) {
      best = candidate;
      bestEdits = edits;
    }
  }
  return best;
}

std::string didYouMean(const char* meant) {
  return meant == nullptr ? std::string() : std::string("; did you mean ") + meant + "?";
}

std::string unclosedText(const EditFault& fault, const std::string& before) {
  std::string text = "the ";
  if (fault.block != kNoBlock) text += std::string(kJiggleBlocks[fault.block].keyword) + " ";
  return text + "block of " + shownName(fault.word) + " opened at line " + std::to_string(fault.line) +
         " is not closed before " + before;
}

std::string expectedInBone() {
  std::string text = "expected ";
  for (const JiggleBlock& block : kJiggleBlocks) text += std::string(block.keyword) + ", ";
  text.resize(text.size() - 2);
  return text + " or \"}\"";
}

// The words of a limit: its axis, and its friction and bounce lines.
std::string tuningLines(std::uint32_t flag) {
  std::string lines;
  std::size_t count = 0;
  for (const JiggleKeyword& k : kJiggleKeywords) {
    if (k.flag != flag || k.role == JiggleRole::Limit) continue;
    lines += (count++ == 0 ? "" : " and ") + std::string(k.keyword);
  }
  return lines;
}

std::string limitTuningText(const EditFault& fault) {
  const JiggleKeyword& k = kJiggleKeywords[fault.keyword];
  const char* limit = kJiggleKeywords[limitLineOf(k.flag)].keyword;
  const std::string axis = kJiggleAxisNames[static_cast<std::size_t>(k.axis)];
  return std::string(k.keyword) + " needs " + limit + " in the same block: write " + limit + " to keep the " +
         axis + " limit, or leave out " + tuningLines(k.flag) + " to remove it";
}

std::string valueCountText(const EditFault& fault) {
  const JiggleKeyword& k = kJiggleKeywords[fault.keyword];
  if (isSwitch(k)) return std::string(k.keyword) + " stands alone, without a value, found " + std::to_string(fault.count);
  if (fault.count == 0) {
    return std::string(k.keyword) + (k.valueCount == 1 ? " needs a number" : " needs two numbers") +
           ", found " + describe(fault);
  }
  return std::string(k.keyword) + " needs " + std::to_string(k.valueCount) +
         (k.valueCount == 1 ? " value" : " values") + ", found " + std::to_string(fault.count);
}

}  // namespace

std::string shownName(const TextSpan& token) {
  for (std::size_t i = 0; i < token.length; ++i) {
    const char c = token.text[i];
    if (c == ' ' || c == '\t' || c == '{' || c == '}') return quoted(token);
  }
  return token.length == 0 ? quoted(token) : shown(token);
}

std::string editFaultText(const EditFault& fault) {
  const std::string word = shown(fault.word);
  switch (fault.kind) {
    case EditFaultKind::UnclosedQuote: return "a quoted name is not closed on its line";
    case EditFaultKind::ControlCharacter: return "a control character stands in the text";
    case EditFaultKind::UnclosedComment: return "this \"/*\" comment is never closed by \"*/\"";
    case EditFaultKind::ExpectedCommand: return "expected $jigglebone, found " + describe(fault);
    case EditFaultKind::MissingName: return "$jigglebone needs a bone name, found " + describe(fault);
    case EditFaultKind::ExpectedOpen:
      return "expected \"{\" after " + (fault.block == kNoBlock ? shownName(fault.word) : word) + ", found " +
             describe(fault);
    case EditFaultKind::ExpectedInBone: return expectedInBone() + ", found " + describe(fault);
    case EditFaultKind::ExpectedInBlock:
      return "expected a keyword of " + blockName(fault.block) + " or \"}\", found " + describe(fault);
    case EditFaultKind::NeverClosed:
      return "the block of " + shownName(fault.word) + " opened at line " + std::to_string(fault.line) +
             " is never closed";
    case EditFaultKind::UnclosedAtEnd: return unclosedText(fault, "the end of the text");
    case EditFaultKind::Unclosed: return unclosedText(fault, "line " + std::to_string(fault.otherLine));
    case EditFaultKind::LikelyTypo:
      return word + " is not a command these tools read; did you mean $jigglebone?";
    case EditFaultKind::BlockTwice: return blockName(fault.block) + " stands twice in one $jigglebone";
    case EditFaultKind::UnknownBlock:
      return word + " is not a block of $jigglebone" +
             didYouMean(nearest(fault.word, kJiggleBlockCount, [](std::size_t b) { return kJiggleBlocks[b].keyword; }));
    case EditFaultKind::UnknownKeyword: {
      const JiggleBlock& block = kJiggleBlocks[fault.block];
      return word + " is not a keyword of " + block.keyword +
             didYouMean(nearest(fault.word, block.end - block.first,
                                [&](std::size_t k) { return kJiggleKeywords[block.first + k].keyword; }));
    }
    case EditFaultKind::WrongBlock: {
      for (const JiggleBlock& block : kJiggleBlocks) {
        if (fault.keyword >= block.first && fault.keyword < block.end) {
          return word + " belongs in " + block.keyword + ", not " + blockName(fault.block);
        }
      }
      return word + " does not belong in " + blockName(fault.block);
    }
    case EditFaultKind::NotReadHere:
      return word + " is part of the $jigglebone language that these tools neither read nor write; the "
                    "model keeps what it has: leave it out";
    case EditFaultKind::ValueCount: return valueCountText(fault);
    case EditFaultKind::NotANumberWord: return std::string(keywordOf(fault)) + " needs a number, found " + word;
    case EditFaultKind::NoSuchBone:
      // A name in other capitals is a slip; a missing bone, among several named, more likely
      // a tuning made for a sibling model.
      return "no bone " + shownName(fault.word) + " in this model" +
             (fault.suggestion.text != nullptr ? "; did you mean " + shownName(fault.suggestion) + "?"
              : fault.suggestSkipping      ? std::string("; to skip the bones a model lacks, add --skip-missing-bones")
                                           : std::string());
    case EditFaultKind::SharedName: return shownName(fault.word) + " names more than one bone of this model";
    case EditFaultKind::NoJiggleRule:
      return shownName(fault.word) + " has no jiggle rule: adding a jiggle rule needs the model rebuilt from its source";
    case EditFaultKind::NamedTwice:
      return shownName(fault.word) + " is named a second time (first on line " + std::to_string(fault.otherLine) + ")";
    case EditFaultKind::NotANumber: return word + " is not a number";
    case EditFaultKind::TooLarge: return word + " is beyond the largest value a model can hold";
    case EditFaultKind::TwoValues:
      return std::string(keywordOf(fault)) + " is given two different values, here and on line " +
             std::to_string(fault.otherLine);
    case EditFaultKind::LimitTuningAlone: return limitTuningText(fault);
    case EditFaultKind::RecordOverlaps:
      return shownName(fault.word) + "'s parameters lie over another part of the model, which changing them would change too";
    case EditFaultKind::RecordOutside: return shownName(fault.word) + "'s parameters lie outside the model";
    case EditFaultKind::ModelAsEdits: return "is a model, not edits: the arguments are MODEL EDITS OUTPUT";
  }
  return "cannot be read here";
}

std::string editWarningText(const EditWarning& warning) {
  const JiggleKeyword& k = kJiggleKeywords[warning.keyword];
  const std::string keyword = k.keyword;
  switch (warning.kind) {
    case EditWarningKind::MinimumAboveMaximum:
      return keyword + " " + shown(warning.values[0]) + " " + shown(warning.values[1]) +
             ": the minimum is above the maximum, which leaves the limit no room";
    case EditWarningKind::Negative:
      return keyword + " " + shown(warning.values[0]) + " is below zero: a " +
             kJiggleRoleNames[static_cast<std::size_t>(k.role)] + " is meant to be zero or more";
    case EditWarningKind::BeyondHalfTurn:
      return keyword + " " + shown(warning.values[0]) + " lies beyond 180 degrees";
    case EditWarningKind::WholeDegreesShown:
      return shown(warning.values[0]) + " degrees is stored; the dump shows whole degrees (" +
             std::to_string(toWholeDegrees(floatFromBits(warning.bits[0]))) + ")";
    case EditWarningKind::LosesBlock:
      return shownName(warning.name) + " loses its " + blockName(warning.block) + " block: write " +
             blockName(warning.block) + " { } in its $jigglebone block to keep it";
    case EditWarningKind::LosesLimit: {
      std::string values;
      for (std::size_t i = 0; i < k.valueCount; ++i) {
        char number[kNumberTextSize] = {};
        values += ' ';
        values.append(number, formatValue(k.unit, floatFromBits(warning.bits[i]), number));
      }
      return shownName(warning.name) + " loses its " + kJiggleAxisNames[static_cast<std::size_t>(k.axis)] +
             " limit: write " + keyword + values + " in its " + blockName(warning.block) + " block to keep it";
    }
    case EditWarningKind::TypographicQuotes:
      return "typographic quotes around " + shownName(warning.name) + " are read as straight ones; a model's "
             "source needs \"" + shown(warning.name) + "\"";
  }
  return keyword;
}

// What can be wrong with an edits text, and what in it is worth a warning: kinds and places
// only, as the reader and the apply step find them. Their words are made in one place
// (edit_messages.h), and only for the few that are shown.
#pragma once

#include <cstddef>
#include <cstdint>

// Bytes of a text and the line they stand on: a word of the edits (a name without its
// quotes), or a name stored in the model (line 0, or its block's).
struct TextSpan {
  const char* text = nullptr;
  std::size_t length = 0;
  std::size_t line = 0;
};

// What stood where something else was wanted.
enum class FoundKind : std::uint8_t { End, Open, Close, Word, Quoted };

enum class EditFaultKind : std::uint8_t {
  // The reading stops at these: what follows cannot be read with any confidence.
  UnclosedQuote,     // a quoted name not closed on its line
  ControlCharacter,  // a control character in the text
  UnclosedComment,   // a "/*" never closed; line: where it opened
  ExpectedCommand,   // found: a token where a "$" command should start
  MissingName,       // found: what stood after "$jigglebone"
  ExpectedOpen,      // word: the name or block; found: what stood instead of "{"
  ExpectedInBone,    // found: what stood where a block or "}" should
  ExpectedInBlock,   // block; found: what stood where a keyword or "}" should
  NeverClosed,       // the text ends inside the block of a command passed over; line: where
                     // it opened; word: the command
  UnclosedAtEnd,     // the text ends inside a block; line: where it opened; word: the bone
                     // (or the word whose block is passed over); block: the inner block, or
                     // kNoBlock for the bone's own
  // Read past, so that the faults after them are found too.
  LikelyTypo,        // word: a "$" command close to "$jigglebone"
  Unclosed,          // as UnclosedAtEnd, before otherLine, where the next command or block stands
  BlockTwice,        // block
  UnknownBlock,      // word
  UnknownKeyword,    // word; block
  WrongBlock,        // word; keyword: the keyword it is; block: where it stands (kNoBlock: outside)
  NotReadHere,       // word: a word of the wider $jigglebone language
  ValueCount,        // keyword; count: values found
  NotANumberWord,    // keyword; word: what stood where a number belongs
  // Found by the apply step.
  NoSuchBone,        // word: the name; suggestion: a bone of the model named so in other
                     // capitals; suggestSkipping: the text names several bones
  SharedName,        // word
  NoJiggleRule,      // word
  NamedTwice,        // word; otherLine: where first named
  NotANumber,        // word: the value
  TooLarge,          // word: the value
  TwoValues,         // keyword; otherLine: the other value's line
  LimitTuningAlone,  // keyword: a friction or bounce line whose limit line is missing
  RecordOverlaps,    // word: the bone's name
  RecordOutside,     // word: the bone's name
  ModelAsEdits,      // the edits are a model's bytes; line 0
};

inline constexpr std::uint8_t kNoBlock = 0xFF;

struct EditFault {
  EditFaultKind kind = EditFaultKind::ExpectedCommand;
  std::size_t line = 0;
  TextSpan word;
  TextSpan found;
  FoundKind foundKind = FoundKind::End;
  TextSpan suggestion;
  std::size_t otherLine = 0;
  std::uint8_t block = kNoBlock;
  std::uint8_t keyword = 0;
  std::size_t count = 0;
  bool suggestSkipping = false;
};

inline EditFault makeFault(EditFaultKind kind, std::size_t line, const TextSpan& word = {}) {
  EditFault fault;
  fault.kind = kind;
  fault.line = line;
  fault.word = word;
  return fault;
}

// Whether the reading stops at a fault of this kind.
constexpr bool endsReading(EditFaultKind kind) { return kind <= EditFaultKind::UnclosedAtEnd; }

enum class EditWarningKind : std::uint8_t {
  MinimumAboveMaximum,  // values[0] above values[1]
  Negative,             // values[0]
  BeyondHalfTurn,       // values[0], an angle beyond 180 degrees either way
  WholeDegreesShown,    // values[0]: an angle stored as written; bits[0]: what is stored
  LosesBlock,           // name: the bone; block: the block it had and the edit leaves out
  LosesLimit,           // name: the bone; keyword: the limit's line; bits: its stored values;
                        // block: the tip block to write the line in
  TypographicQuotes,    // name: a bone's name written in typographic quotes
};

struct EditWarning {
  EditWarningKind kind = EditWarningKind::Negative;
  std::size_t line = 0;
  std::uint8_t keyword = 0;
  TextSpan values[2];
  TextSpan name;
  std::uint8_t block = kNoBlock;
  std::uint32_t bits[2] = {};
};

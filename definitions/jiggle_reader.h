// Reading "$jigglebone" blocks as people write them in a model's source: any spaces, tabs
// and line breaks (LF or CR LF), braces on lines of their own, "//" and "/* */" comments,
// bone names quoted or bare, "$jigglebone", block names and keywords in any capitals, in
// any order within their block, and the model source's other "$commands" around them,
// passed over. The reader hands out one statement at a time and keeps nothing, so that a
// file of any size is read in one pass; what the values mean is its caller's. A fault is a
// statement too: the reader reads on past those it can, so that one run finds them all.
#pragma once

#include <cstddef>
#include <cstdint>

#include "definitions/edit_faults.h"
#include "definitions/edit_tokens.h"
#include "definitions/held_faults.h"
#include "definitions/jiggle_keywords.h"

enum class EditStatementKind {
  BoneStart,   // "$jigglebone <name> {": name
  BlockStart,  // "<block> {": block
  Values,      // "<keyword> <value>...": block, keyword, values (as many as the keyword
               // takes, on its line or on those after it)
  BlockEnd,    // "}" of a block: block
  BoneEnd,     // "}" of the bone
  Fault,       // fault; an open bone or block it names is left (Unclosed)
};

struct EditStatement {
  EditStatementKind kind = EditStatementKind::BoneStart;
  std::size_t line = 0;
  // The statement's text, from its first token to the end of its last: "$jigglebone" to
  // "{", a block's name to its "{", a keyword to its last value, or a "}". Null for a fault.
  const char* start = nullptr;
  const char* end = nullptr;
  TextSpan name;
  bool typographicQuotes = false;  // the name stands in typographic quotes
  std::uint8_t block = 0;    // index into kJiggleBlocks
  std::uint8_t keyword = 0;  // index into kJiggleKeywords
  TextSpan values[2];
  EditFault fault;
};

enum class ReaderPlace : std::uint8_t { Top, Bone, Block };

struct EditsReader {
  TokenCursor tokens;
  ReaderPlace place = ReaderPlace::Top;
  TextSpan bone;                 // the open bone's name
  std::size_t boneOpenedLine = 0;  // where its "{" stands
  std::uint8_t block = 0;         // the open block, inside one
  std::size_t blockOpenedLine = 0;
  std::uint8_t blocksSeen = 0;    // of the open bone, a bit per block
  bool stopped = false;           // a fault that ends reading was handed out
  HeldFaults held;                // met while passing over, handed out next
  std::size_t passedOver = 0;     // the other "$commands" passed over
};

// `text` must be followed by a NUL byte (text[size] == 0, as in a C string): the reader's
// loops stop on it rather than test the end at every byte.
void startEditsReader(EditsReader& reader, const char* text, std::size_t size);

// The next statement; false at the end of the text, or after a fault that ends reading.
bool readEditStatement(EditsReader& reader, EditStatement& statement);

// Just after a bone's "{": if the text goes on with exactly `rest` (with LF or CR LF line
// ends), up to and including the bone's closing "}", steps over it and returns true, as if
// it had been read; else reads nothing. `rest` is what the writer writes after the "{" of
// the bone's block as stored, holding `lines` line ends: a block written back unedited is
// then taken at the speed of a comparison, and known to change nothing.
bool skipUneditedBone(EditsReader& reader, const char* rest, std::size_t length, std::size_t lines);

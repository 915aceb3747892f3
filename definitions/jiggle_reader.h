// Reading "$jigglebone" blocks as people write them in a model's source: any spaces, tabs
// and line breaks (LF or CR LF), braces on lines of their own, "//" comments to the end of
// a line, bone names quoted or bare, and the keywords the writer writes, in any order
// within their block. The reader hands out one statement at a time and keeps nothing, so
// that a file of any size is read in one pass; what the values mean is its caller's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "definitions/jiggle_keywords.h"

struct EditToken {
  const char* text = nullptr;  // inside the edits text; a name without its quotes
  std::size_t length = 0;
  std::size_t line = 0;
};

enum class EditStatementKind {
  BoneStart,  // "$jigglebone <name> {": name
  BlockStart, // "<block> {": block
  Values,     // "<keyword> <value>...": block, keyword, values (as many as the keyword takes,
              // on its line or on those after it)
  BlockEnd,   // "}" of a block: block
  BoneEnd,    // "}" of the bone
};

struct EditStatement {
  EditStatementKind kind = EditStatementKind::BoneStart;
  std::size_t line = 0;
  EditToken name;
  std::uint8_t block = 0;    // index into kJiggleBlocks
  std::uint8_t keyword = 0;  // index into kJiggleKeywords
  EditToken values[2];
};

enum class ReaderPlace : std::uint8_t { Top, Bone, Block };

struct EditsReader {
  const char* at = nullptr;
  const char* end = nullptr;
  std::size_t line = 1;
  ReaderPlace place = ReaderPlace::Top;
  std::uint8_t block = 0;          // the open block, inside one
  std::size_t openedLine = 0;      // where the innermost open "{" stands
  std::size_t boneOpenedLine = 0;  // where the bone's "{" stands
  std::uint8_t blocksSeen = 0;     // of the open bone, a bit per block
  std::uint8_t aheadKind = 0;      // a token read ahead: its kind + 1; 0 for none
  EditToken ahead;
  // Set when reading stops on a fault: its line and what is wrong.
  std::size_t errorLine = 0;
  std::string error;
};

// `text` must be followed by a NUL byte (text[size] == 0, as in a C string): the reader's
// loops stop on it rather than test the end at every byte.
void startEditsReader(EditsReader& reader, const char* text, std::size_t size);

// The next statement. False at the end of the text, or on a fault (errorLine is then set):
// a syntax error, an unknown block or keyword, a block written twice in one bone, or a
// keyword line with the wrong number of values.
bool readEditStatement(EditsReader& reader, EditStatement& statement);

// Just after a bone's "{": if the text goes on with exactly `rest` (with LF or CR LF line
// ends), up to and including the bone's closing "}", steps over it and returns true, as if
// it had been read; else reads nothing. `rest` is what the writer writes after the "{" of
// the bone's block as stored: a block written back unedited is then taken at the speed of
// a comparison, and known to change nothing.
bool skipUneditedBone(EditsReader& reader, const char* rest, std::size_t length);

// A token fit for a message: quoted for a name, cut when long.
std::string quotedForMessage(const EditToken& token);
std::string shownForMessage(const EditToken& token);

#include "definitions/jiggle_reader.h"

#include <cstring>

#include "definitions/keyword_lookup.h"
#include "definitions/near_words.h"
#include "definitions/passing_over.h"

namespace {

EditFault faultFound(EditFaultKind kind, const Token& found) {
  EditFault fault = makeFault(kind, found.text.line);
  fault.found = found.text;
  fault.foundKind = foundKindOf(found);
  return fault;
}

bool hand(EditsReader& r, EditStatement& s, const EditFault& fault) {
  s = EditStatement{};
  s.kind = EditStatementKind::Fault;
  s.line = fault.line;
  s.fault = fault;
  if (endsReading(fault.kind)) {
    r.stopped = true;
    r.place = ReaderPlace::Top;
  }
  return true;
}

// A statement of the text from `first` to the end of `last`.
bool give(EditStatement& s, EditStatementKind kind, std::size_t line, const Token& first, const Token& last) {
  s.kind = kind;
  s.line = line;
  s.start = first.text.text;
  // A quoted token's text leaves out its closing quote.
  const std::size_t closing = last.kind == TokenKind::Quoted              ? 1
                              : last.kind == TokenKind::TypographicQuoted ? kTypographicQuoteLength
                                                                          : 0;
  s.end = last.text.text + last.text.length + closing;
  return true;
}

bool readTop(EditsReader& r, EditStatement& s) {
  TokenCursor& tokens = r.tokens;
  for (;;) {
    const Token start = nextToken(tokens);
    if (start.kind == TokenKind::End) return false;
    if (isBad(start)) return hand(r, s, badTokenFault(start));
    if (!isCommand(start)) return hand(r, s, faultFound(EditFaultKind::ExpectedCommand, start));
    if (!isBoneCommand(start.text)) {
      passOverCommand(tokens, r.held, start);
      if (editsApart(start.text.text, start.text.length, kBoneCommand, kBoneCommandLength) != kFarApart) {
        return hand(r, s, makeFault(EditFaultKind::LikelyTypo, start.text.line, start.text));
      }
      ++r.passedOver;
      EditFault held;
      if (takeHeldFault(r.held, held)) return hand(r, s, held);
      continue;
    }
    const Token name = nextToken(tokens);
    if (isBad(name)) return hand(r, s, badTokenFault(name));
    if ((name.kind != TokenKind::Word && !isQuoted(name)) || isCommand(name)) {
      return hand(r, s, faultFound(EditFaultKind::MissingName, name));
    }
    const Token open = nextToken(tokens);
    if (isBad(open)) return hand(r, s, badTokenFault(open));
    if (open.kind != TokenKind::Open) {
      EditFault fault = faultFound(EditFaultKind::ExpectedOpen, open);
      fault.word = name.text;
      return hand(r, s, fault);
    }
    r.place = ReaderPlace::Bone;
    r.bone = name.text;
    r.boneOpenedLine = open.text.line;
    r.blocksSeen = 0;
    s.name = name.text;
    s.typographicQuotes = name.kind == TokenKind::TypographicQuoted;
    return give(s, EditStatementKind::BoneStart, name.text.line, start, open);
  }
}

// The open bone or block left unclosed where `next` stands, or at the end of the text.
EditFault unclosed(const EditsReader& r, const Token& next) {
  const bool inBlock = r.place == ReaderPlace::Block;
  EditFault fault = makeFault(next.kind == TokenKind::End ? EditFaultKind::UnclosedAtEnd : EditFaultKind::Unclosed,
                              inBlock ? r.blockOpenedLine : r.boneOpenedLine);
  fault.word = r.bone;
  fault.block = inBlock ? r.block : kNoBlock;
  fault.otherLine = next.text.line;
  return fault;
}

// A word that is no block or keyword of the place it stands in; `block` is that block, or
// kNoBlock inside the bone.
bool misplacedWord(EditsReader& r, EditStatement& s, const Token& t, std::uint8_t block) {
  skipHeld(r.tokens, r.held, t.text);
  EditFault fault = makeFault(EditFaultKind::NotReadHere, t.text.line);
  fault.word = t.text;
  fault.block = block;
  if (!isForeignWord(t.text)) {
    const int keyword = findAnyKeyword(t.text.text, t.text.length);
    if (keyword >= 0) {
      fault.kind = EditFaultKind::WrongBlock;
      fault.keyword = static_cast<std::uint8_t>(keyword);
    } else {
      fault.kind = block == kNoBlock ? EditFaultKind::UnknownBlock : EditFaultKind::UnknownKeyword;
    }
  }
  return hand(r, s, fault);
}

bool readInBone(EditsReader& r, EditStatement& s) {
  TokenCursor& tokens = r.tokens;
  const Token t = nextToken(tokens);
  if (isBad(t)) return hand(r, s, badTokenFault(t));
  if (t.kind == TokenKind::End) return hand(r, s, unclosed(r, t));
  if (t.kind == TokenKind::Close) {
    r.place = ReaderPlace::Top;
    return give(s, EditStatementKind::BoneEnd, t.text.line, t, t);
  }
  if (t.kind != TokenKind::Word) return hand(r, s, faultFound(EditFaultKind::ExpectedInBone, t));
  if (isCommand(t)) {
    const EditFault fault = unclosed(r, t);
    putBack(tokens, t);
    r.place = ReaderPlace::Top;
    return hand(r, s, fault);
  }
  const int block = findBlock(t.text.text, t.text.length);
  if (block < 0) return misplacedWord(r, s, t, kNoBlock);
  const auto bit = static_cast<std::uint8_t>(1u << block);
  if ((r.blocksSeen & bit) != 0) {
    skipHeld(tokens, r.held, t.text);
    EditFault fault = makeFault(EditFaultKind::BlockTwice, t.text.line);
    fault.block = static_cast<std::uint8_t>(block);
    return hand(r, s, fault);
  }
  const Token open = nextToken(tokens);
  if (isBad(open)) return hand(r, s, badTokenFault(open));
  if (open.kind != TokenKind::Open) {
    EditFault fault = faultFound(EditFaultKind::ExpectedOpen, open);
    fault.word = t.text;
    fault.block = static_cast<std::uint8_t>(block);
    return hand(r, s, fault);
  }
  r.blocksSeen |= bit;
  r.place = ReaderPlace::Block;
  r.block = static_cast<std::uint8_t>(block);
  r.blockOpenedLine = open.text.line;
  s.block = r.block;
  return give(s, EditStatementKind::BlockStart, t.text.line, t, open);
}

// The values of a keyword: numbers (and the writer's texts of a stored infinity or
// not-a-number), or anything in quotes, on its line or on others. What is not one ends
// them, but for a word that has no meaning here where a number is still wanted: that is
// taken as the value meant, and refused.
bool readValues(EditsReader& r, EditStatement& s, const Token& word, int keyword) {
  TokenCursor& tokens = r.tokens;
  const JiggleKeyword& k = kJiggleKeywords[keyword];
  std::size_t count = 0;
  Token last = word;
  for (;;) {
    const Token value = nextToken(tokens);
    if (!looksLikeValue(value)) {
      putBack(tokens, value);
      break;
    }
    if (count < 2) s.values[count] = value.text;
    ++count;
    last = value;
  }
  if (count == k.valueCount) {
    s.block = r.block;
    s.keyword = static_cast<std::uint8_t>(keyword);
    return give(s, EditStatementKind::Values, word.text.line, word, last);
  }
  const Token next = peekToken(tokens);
  EditFault fault = faultFound(EditFaultKind::ValueCount, next);
  fault.line = word.text.line;
  fault.keyword = static_cast<std::uint8_t>(keyword);
  fault.count = count;
  if (count < k.valueCount && next.kind == TokenKind::Word && !isLanguageWord(next.text)) {
    nextToken(tokens);
    fault.kind = EditFaultKind::NotANumberWord;
    fault.word = next.text;
  }
  return hand(r, s, fault);
}

bool readInBlock(EditsReader& r, EditStatement& s) {
  TokenCursor& tokens = r.tokens;
  const Token t = nextToken(tokens);
  if (isBad(t)) return hand(r, s, badTokenFault(t));
  if (t.kind == TokenKind::End) return hand(r, s, unclosed(r, t));
  if (t.kind == TokenKind::Close) {
    r.place = ReaderPlace::Bone;
    s.block = r.block;
    return give(s, EditStatementKind::BlockEnd, t.text.line, t, t);
  }
  if (t.kind != TokenKind::Word) {
    EditFault fault = faultFound(EditFaultKind::ExpectedInBlock, t);
    fault.block = r.block;
    return hand(r, s, fault);
  }
  const int keyword = findKeywordIn(t.text.text, t.text.length, r.block);
  if (keyword >= 0) return readValues(r, s, t, keyword);
  // A command or another block: this block's "}" is missing. The bone reads on from there.
  if (isCommand(t) || findBlock(t.text.text, t.text.length) >= 0) {
    const EditFault fault = unclosed(r, t);
    putBack(tokens, t);
    r.place = isCommand(t) ? ReaderPlace::Top : ReaderPlace::Bone;
    return hand(r, s, fault);
  }
  return misplacedWord(r, s, t, r.block);
}

}  // namespace

void startEditsReader(EditsReader& reader, const char* text, std::size_t size) {
  reader = EditsReader{};
  reader.tokens.at = text;
  reader.tokens.end = text + size;
  // A byte order mark, as some editors write one, is not text.
  if (size >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0) reader.tokens.at += 3;
}

bool readEditStatement(EditsReader& reader, EditStatement& statement) {
  if (reader.tokens.at == nullptr) return false;
  EditFault held;
  if (takeHeldFault(reader.held, held)) return hand(reader, statement, held);
  if (reader.stopped) return false;
  statement = EditStatement{};
  switch (reader.place) {
    case ReaderPlace::Top: return readTop(reader, statement);
    case ReaderPlace::Bone: return readInBone(reader, statement);
    case ReaderPlace::Block: return readInBlock(reader, statement);
  }
  return false;
}

bool skipUneditedBone(EditsReader& reader, const char* rest, std::size_t length, std::size_t lines) {
  TokenCursor& tokens = reader.tokens;
  if (reader.place != ReaderPlace::Bone || tokens.aheadKind != 0 || reader.stopped || reader.held.count != 0) {
    return false;
  }
  const char* at = tokens.at;
  const std::size_t left = static_cast<std::size_t>(tokens.end - at);
  if (left >= length && std::memcmp(at, rest, length) == 0) {
    at += length;
  } else {
    // The same text with CR LF line ends, as a text written on Windows has them.
    for (std::size_t i = 0; i < length; ++i, ++at) {
      if (rest[i] == '\n') {
        if (at == tokens.end || *at != '\r') return false;
        ++at;
      }
      if (at == tokens.end || *at != rest[i]) return false;
    }
  }
  tokens.at = at;
  tokens.line += lines;
  reader.place = ReaderPlace::Top;
  return true;
}

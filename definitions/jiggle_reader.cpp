#include "definitions/jiggle_reader.h"

#include <array>
#include <cstring>

#include "definitions/near_words.h"

namespace {

enum class TokenKind : std::uint8_t { End, Open, Close, Word, Quoted, Unclosed, Control, UnclosedComment };

struct Token {
  TokenKind kind = TokenKind::End;
  EditToken text;
};

// What each byte is to the reader, looked up rather than tested, since every byte of a
// large file passes through here.
enum ByteClass : std::uint8_t {
  kSpace = 1,    // space, tab, CR, vertical tab, form feed
  kLineEnd = 2,  // LF
  kBrace = 4,
  kQuote = 8,
  kControl = 16,  // any other control character
  kSlash = 32,    // may start a comment
};

constexpr auto kByteClasses = [] {
  std::array<std::uint8_t, 256> classes{};
  for (int c = 0; c < 0x20; ++c) classes[static_cast<std::size_t>(c)] = kControl;
  classes[0x7F] = kControl;
  for (const char c : {' ', '\t', '\r', '\v', '\f'}) classes[static_cast<unsigned char>(c)] = kSpace;
  classes['\n'] = kLineEnd;
  classes['{'] = kBrace;
  classes['}'] = kBrace;
  classes['"'] = kQuote;
  classes['/'] = kSlash;
  return classes;
}();

std::uint8_t classOf(char c) { return kByteClasses[static_cast<unsigned char>(c)]; }
bool isControl(unsigned char c) { return kByteClasses[c] == kControl; }
// Both read at[1]: the NUL after the text makes that safe at its last byte.
bool startsLineComment(const char* at) { return at[0] == '/' && at[1] == '/'; }
bool startsBlockComment(const char* at) { return at[0] == '/' && at[1] == '*'; }

// Steps over a "/*" comment, counting its lines; at the end of the text if it is never
// closed, with where it opened noted.
void skipBlockComment(EditsReader& r, const char*& at, std::size_t& line) {
  const std::size_t opened = line;
  at += 2;
  for (; at < r.end; ++at) {
    if (*at == '*' && at[1] == '/') {
      at += 2;
      return;
    }
    if (*at == '\n') ++line;
  }
  r.commentOpenedLine = opened;
}

// Skips blanks, line ends and comments. Works on local copies of the reader's place: every
// byte of a large file passes through here.
inline void skipBlanks(EditsReader& r) {
  const char* at = r.at;
  const char* const end = r.end;
  std::size_t line = r.line;
  for (;;) {
    const std::uint8_t byteClass = classOf(*at);  // the NUL after the text stops it
    if (byteClass == kSpace) {
      ++at;
      // Long runs of spaces, eight at a time: a hostile file may be little else.
      while (end - at >= 8 && std::memcmp(at, "        ", 8) == 0) at += 8;
    } else if (byteClass == kLineEnd) {
      ++at;
      ++line;
    } else if (byteClass == kSlash && at < end && startsLineComment(at)) {
      while (at < end && *at != '\n') ++at;
    } else if (byteClass == kSlash && at < end && startsBlockComment(at)) {
      skipBlockComment(r, at, line);
    } else {
      break;
    }
  }
  r.at = at;
  r.line = line;
}

// A word runs to a blank, a brace, a quote, a control character or a comment.
inline const char* wordEnd(const char* at, const char* end) {
  for (;;) {
    while (classOf(*at) == 0) ++at;  // the NUL after the text stops it
    if (at == end || classOf(*at) != kSlash || startsLineComment(at) || startsBlockComment(at)) return at;
    ++at;  // a lone slash belongs to the word
  }
}

// A name in quotes ends on its own line; any byte but a control character may stand in it.
Token quotedToken(EditsReader& r) {
  Token t;
  t.text.line = r.line;
  const char* start = ++r.at;
  t.text.text = start;
  while (r.at < r.end) {
    const auto b = static_cast<unsigned char>(*r.at);
    if (b == '"' || b == '\n' || b == '\r' || isControl(b)) break;
    ++r.at;
  }
  if (r.at == r.end || *r.at != '"') {
    const bool control = r.at < r.end && isControl(static_cast<unsigned char>(*r.at));
    t.kind = control ? TokenKind::Control : TokenKind::Unclosed;
    return t;
  }
  t.kind = TokenKind::Quoted;
  t.text.length = static_cast<std::size_t>(r.at - start);
  ++r.at;
  return t;
}

Token readToken(EditsReader& r) {
  skipBlanks(r);
  Token t;
  t.text.text = r.at;
  t.text.line = r.line;
  if (r.at == r.end) {
    if (r.commentOpenedLine != 0) {
      t.kind = TokenKind::UnclosedComment;
      t.text.line = r.commentOpenedLine;
    }
    return t;
  }
  const std::uint8_t byteClass = classOf(*r.at);
  if (byteClass == 0 || byteClass == kSlash) {
    r.at = wordEnd(r.at, r.end);
    t.kind = TokenKind::Word;
    t.text.length = static_cast<std::size_t>(r.at - t.text.text);
  } else if (byteClass == kBrace) {
    t.kind = *r.at == '{' ? TokenKind::Open : TokenKind::Close;
    t.text.length = 1;
    ++r.at;
  } else if (byteClass == kQuote) {
    return quotedToken(r);
  } else {
    t.kind = TokenKind::Control;
  }
  return t;
}

// The next token: the one read ahead, if any, else a new one.
inline Token nextToken(EditsReader& r) {
  if (r.aheadKind != 0) {
    Token t;
    t.kind = static_cast<TokenKind>(r.aheadKind - 1);
    t.text = r.ahead;
    r.aheadKind = 0;
    return t;
  }
  return readToken(r);
}

// Puts a token back, to be the next one read.
void putBack(EditsReader& r, const Token& t) {
  r.aheadKind = static_cast<std::uint8_t>(static_cast<std::uint8_t>(t.kind) + 1);
  r.ahead = t.text;
}

Token peekToken(EditsReader& r) {
  const Token t = nextToken(r);
  putBack(r, t);
  return t;
}

bool isBad(const Token& t) {
  return t.kind == TokenKind::Unclosed || t.kind == TokenKind::Control || t.kind == TokenKind::UnclosedComment;
}

FoundKind foundKindOf(const Token& t) {
  switch (t.kind) {
    case TokenKind::End: return FoundKind::End;
    case TokenKind::Open: return FoundKind::Open;
    case TokenKind::Close: return FoundKind::Close;
    case TokenKind::Quoted: return FoundKind::Quoted;
    default: return FoundKind::Word;
  }
}

EditFault faultFound(EditFaultKind kind, const Token& found) {
  EditFault fault = makeFault(kind, found.text.line);
  fault.found = found.text;
  fault.foundKind = foundKindOf(found);
  return fault;
}

// The fault of a token that cannot be read at all.
EditFault badTokenFault(const Token& t) {
  const EditFaultKind kind = t.kind == TokenKind::Unclosed   ? EditFaultKind::UnclosedQuote
                             : t.kind == TokenKind::Control ? EditFaultKind::ControlCharacter
                                                            : EditFaultKind::UnclosedComment;
  return makeFault(kind, t.text.line);
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

// A fault met while passing over something after a fault already found: handed out next.
void holdFault(EditsReader& r, const EditFault& fault) {
  if (r.pending) return;
  r.pending = true;
  r.pendingFault = fault;
}

bool isCommand(const Token& t) { return t.kind == TokenKind::Word && t.text.text[0] == '$'; }

constexpr char kBoneCommand[] = "$jigglebone";
constexpr std::size_t kBoneCommandLength = sizeof kBoneCommand - 1;

bool isBoneCommand(const Token& t) {
  return t.kind == TokenKind::Word && sameIgnoringCapitals(t.text.text, t.text.length, kBoneCommand, kBoneCommandLength);
}

// A keyword in lower case, for the tables; false when the word is longer than any keyword.
bool lowered(const char* text, std::size_t length, char (&out)[kLongestKeyword + 1]) {
  if (length > kLongestKeyword) return false;
  for (std::size_t i = 0; i < length; ++i) out[i] = lowerAscii(text[i]);
  return true;
}

// For each block, the keywords it holds by their length, so that a word is compared with
// the one or two keywords of its length only.
constexpr std::uint8_t kNone = 0xFF;
constexpr auto kKeywordsByLength = [] {
  std::array<std::array<std::array<std::uint8_t, 4>, kLongestKeyword + 1>, kJiggleBlockCount> byLength{};
  for (auto& block : byLength) {
    for (auto& candidates : block) candidates.fill(kNone);
  }
  for (std::size_t b = 0; b < kJiggleBlockCount; ++b) {
    for (std::size_t k = kJiggleBlocks[b].first; k < kJiggleBlocks[b].end; ++k) {
      auto& candidates = byLength[b][kJiggleKeywords[k].length];
      std::size_t slot = 0;
      while (candidates[slot] != kNone) ++slot;  // at most three keywords share a length
      candidates[slot] = static_cast<std::uint8_t>(k);
    }
  }
  return byLength;
}();

// The keyword of block `block` (an index into kJiggleBlocks) named by these bytes in any
// capitals, or -1; and the same for a keyword of any block, and for a block.
int findKeywordIn(const char* text, std::size_t length, std::size_t block) {
  char word[kLongestKeyword + 1] = {};
  if (block >= kJiggleBlockCount || !lowered(text, length, word)) return -1;
  for (const std::uint8_t k : kKeywordsByLength[block][length]) {
    if (k == kNone) break;
    if (std::memcmp(kJiggleKeywords[k].keyword, word, length) == 0) return k;
  }
  return -1;
}

int findAnyKeyword(const char* text, std::size_t length) {
  for (std::size_t b = 0; b < kJiggleBlockCount; ++b) {
    const int keyword = findKeywordIn(text, length, b);
    if (keyword >= 0) return keyword;
  }
  return -1;
}

int findBlock(const char* text, std::size_t length) {
  for (std::size_t b = 0; b < kJiggleBlockCount; ++b) {
    if (sameIgnoringCapitals(text, length, kJiggleBlocks[b].keyword, kJiggleBlocks[b].length)) {
      return static_cast<int>(b);
    }
  }
  return -1;
}

bool isForeignWord(const EditToken& word) {
  for (const ForeignJiggleWord& foreign : kForeignJiggleWords) {
    if (sameIgnoringCapitals(word.text, word.length, foreign.word, std::strlen(foreign.word))) return true;
  }
  return false;
}

// A number as people write one, or the writer's text of a stored infinity or not-a-number:
// what may stand as a keyword's value. Whether it is a good one is for the caller.
bool looksLikeValue(const Token& t) {
  if (t.kind == TokenKind::Quoted) return true;
  if (t.kind != TokenKind::Word) return false;
  const EditToken& word = t.text;
  const char c = word.text[0];
  return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' ||
         (word.length == 3 && (std::memcmp(word.text, "nan", 3) == 0 || std::memcmp(word.text, "inf", 3) == 0));
}

// Any word the language gives a meaning: a command, a block or a keyword.
bool isLanguageWord(const Token& t) {
  return isCommand(t) || findBlock(t.text.text, t.text.length) >= 0 ||
         findAnyKeyword(t.text.text, t.text.length) >= 0 || isForeignWord(t.text);
}

void skipValues(EditsReader& r) {
  for (;;) {
    const Token t = nextToken(r);
    if (!looksLikeValue(t)) {
      putBack(r, t);
      return;
    }
  }
}

// Passes over what a word that is not read here holds: a "{ }" block if one follows, with
// any blocks inside it, else its values. A command met inside it ends it: its "}" is
// missing, and the block around it, left open, says so.
void skipHeld(EditsReader& r, const EditToken& word) {
  const Token open = peekToken(r);
  if (open.kind != TokenKind::Open) {
    skipValues(r);
    return;
  }
  nextToken(r);
  std::size_t depth = 1;
  while (depth > 0) {
    const Token t = nextToken(r);
    if (isBad(t)) return holdFault(r, badTokenFault(t));
    if (t.kind == TokenKind::End) return holdFault(r, makeFault(EditFaultKind::UnclosedAtEnd, open.text.line, word));
    if (isCommand(t)) return putBack(r, t);
    if (t.kind == TokenKind::Open) ++depth;
    if (t.kind == TokenKind::Close) --depth;
  }
}

// Passes over a "$command" other than "$jigglebone": its arguments and any "{ }" blocks, up
// to the next "$" word outside a block.
void passOverCommand(EditsReader& r, const Token& command) {
  std::size_t depth = 0;
  std::size_t openedLine = 0;
  for (;;) {
    const Token t = nextToken(r);
    if (isBad(t)) return holdFault(r, badTokenFault(t));
    if (t.kind == TokenKind::End) {
      if (depth > 0) {
        EditFault fault = makeFault(EditFaultKind::UnclosedAtEnd, openedLine);
        fault.word = command.text;
        holdFault(r, fault);
      }
      return;
    }
    if ((depth == 0 && isCommand(t)) || (depth == 0 && t.kind == TokenKind::Close)) {
      putBack(r, t);  // the next command; or a stray "}", which the top level refuses
      return;
    }
    // Commands do not nest: one inside a block means its "}" is missing.
    if (isCommand(t)) {
      EditFault fault = makeFault(EditFaultKind::Unclosed, openedLine, command.text);
      fault.otherLine = t.text.line;
      holdFault(r, fault);
      putBack(r, t);
      return;
    }
    if (t.kind == TokenKind::Open && depth++ == 0) openedLine = t.text.line;
    if (t.kind == TokenKind::Close) --depth;
  }
}

bool readTop(EditsReader& r, EditStatement& s) {
  for (;;) {
    const Token start = nextToken(r);
    if (start.kind == TokenKind::End) return false;
    if (isBad(start)) return hand(r, s, badTokenFault(start));
    if (!isCommand(start)) return hand(r, s, faultFound(EditFaultKind::ExpectedCommand, start));
    if (!isBoneCommand(start)) {
      passOverCommand(r, start);
      if (editsApart(start.text.text, start.text.length, kBoneCommand, kBoneCommandLength) != kFarApart) {
        EditFault fault = makeFault(EditFaultKind::LikelyTypo, start.text.line);
        fault.word = start.text;
        return hand(r, s, fault);
      }
      ++r.passedOver;
      if (r.pending) {
        r.pending = false;
        return hand(r, s, r.pendingFault);
      }
      continue;
    }
    const Token name = nextToken(r);
    if (isBad(name)) return hand(r, s, badTokenFault(name));
    if ((name.kind != TokenKind::Word && name.kind != TokenKind::Quoted) || isCommand(name)) {
      return hand(r, s, faultFound(EditFaultKind::MissingName, name));
    }
    const Token open = nextToken(r);
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
    s.kind = EditStatementKind::BoneStart;
    s.line = name.text.line;
    s.name = name.text;
    return true;
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
  skipHeld(r, t.text);
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
  const Token t = nextToken(r);
  if (isBad(t)) return hand(r, s, badTokenFault(t));
  if (t.kind == TokenKind::End) return hand(r, s, unclosed(r, t));
  if (t.kind == TokenKind::Close) {
    r.place = ReaderPlace::Top;
    s.kind = EditStatementKind::BoneEnd;
    s.line = t.text.line;
    return true;
  }
  if (t.kind != TokenKind::Word) return hand(r, s, faultFound(EditFaultKind::ExpectedInBone, t));
  if (isCommand(t)) {
    const EditFault fault = unclosed(r, t);
    putBack(r, t);
    r.place = ReaderPlace::Top;
    return hand(r, s, fault);
  }
  const int block = findBlock(t.text.text, t.text.length);
  if (block < 0) return misplacedWord(r, s, t, kNoBlock);
  const auto bit = static_cast<std::uint8_t>(1u << block);
  if ((r.blocksSeen & bit) != 0) {
    skipHeld(r, t.text);
    EditFault fault = makeFault(EditFaultKind::BlockTwice, t.text.line);
    fault.block = static_cast<std::uint8_t>(block);
    return hand(r, s, fault);
  }
  const Token open = nextToken(r);
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
  s.kind = EditStatementKind::BlockStart;
  s.block = r.block;
  s.line = t.text.line;
  return true;
}

// The values of a keyword: numbers (and the writer's texts of a stored infinity or
// not-a-number), or anything in quotes, on its line or on others. What is not one ends
// them, but for a word that has no meaning here where a number is still wanted: that is
// taken as the value meant, and refused.
bool readValues(EditsReader& r, EditStatement& s, const Token& word, int keyword) {
  const JiggleKeyword& k = kJiggleKeywords[keyword];
  std::size_t count = 0;
  for (;;) {
    const Token value = nextToken(r);
    if (!looksLikeValue(value)) {
      putBack(r, value);
      break;
    }
    if (count < 2) s.values[count] = value.text;
    ++count;
  }
  if (count == k.valueCount) {
    s.kind = EditStatementKind::Values;
    s.block = r.block;
    s.keyword = static_cast<std::uint8_t>(keyword);
    s.line = word.text.line;
    return true;
  }
  const Token next = peekToken(r);
  EditFault fault = faultFound(EditFaultKind::ValueCount, next);
  fault.line = word.text.line;
  fault.keyword = static_cast<std::uint8_t>(keyword);
  fault.count = count;
  if (count < k.valueCount && next.kind == TokenKind::Word && !isLanguageWord(next)) {
    nextToken(r);
    fault.kind = EditFaultKind::NotANumberWord;
    fault.word = next.text;
  }
  return hand(r, s, fault);
}

bool readInBlock(EditsReader& r, EditStatement& s) {
  const Token t = nextToken(r);
  if (isBad(t)) return hand(r, s, badTokenFault(t));
  if (t.kind == TokenKind::End) return hand(r, s, unclosed(r, t));
  if (t.kind == TokenKind::Close) {
    r.place = ReaderPlace::Bone;
    s.kind = EditStatementKind::BlockEnd;
    s.block = r.block;
    s.line = t.text.line;
    return true;
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
    putBack(r, t);
    r.place = isCommand(t) ? ReaderPlace::Top : ReaderPlace::Bone;
    return hand(r, s, fault);
  }
  return misplacedWord(r, s, t, r.block);
}

}  // namespace

void startEditsReader(EditsReader& reader, const char* text, std::size_t size) {
  reader = EditsReader{};
  reader.at = text;
  reader.end = text + size;
  // A byte order mark, as some editors write one, is not text.
  if (size >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0) reader.at += 3;
}

bool readEditStatement(EditsReader& reader, EditStatement& statement) {
  if (reader.at == nullptr) return false;
  if (reader.pending) {
    reader.pending = false;
    return hand(reader, statement, reader.pendingFault);
  }
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
  if (reader.place != ReaderPlace::Bone || reader.aheadKind != 0 || reader.stopped || reader.pending) {
    return false;
  }
  const char* at = reader.at;
  const std::size_t left = static_cast<std::size_t>(reader.end - at);
  if (left >= length && std::memcmp(at, rest, length) == 0) {
    at += length;
  } else {
    // The same text with CR LF line ends, as a text written on Windows has them.
    for (std::size_t i = 0; i < length; ++i, ++at) {
      if (rest[i] == '\n') {
        if (at == reader.end || *at != '\r') return false;
        ++at;
      }
      if (at == reader.end || *at != rest[i]) return false;
    }
  }
  reader.at = at;
  reader.line += lines;
  reader.place = ReaderPlace::Top;
  return true;
}

#include "definitions/jiggle_reader.h"

#include <array>
#include <cstring>

namespace {

enum class TokenKind : std::uint8_t { End, Open, Close, Word, Quoted, Unclosed, Control };

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
bool startsComment(const char* at, const char* end) { return end - at >= 2 && at[0] == '/' && at[1] == '/'; }

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
    } else if (byteClass == kLineEnd) {
      ++at;
      ++line;
    } else if (byteClass == kSlash && startsComment(at, end)) {
      while (at < end && *at != '\n') ++at;
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
    if (at == end || classOf(*at) != kSlash || startsComment(at, end)) return at;
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
  if (r.at == r.end) return t;
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

bool fail(EditsReader& r, std::size_t line, std::string what) {
  r.errorLine = line;
  r.error = std::move(what);
  r.at = r.end;
  return false;
}

// The fault of a token that is neither a word, a name nor a brace where one was wanted.
bool failOnBadToken(EditsReader& r, const Token& t) {
  if (t.kind == TokenKind::Unclosed) return fail(r, t.text.line, "a quoted name is not closed on its line");
  return fail(r, t.text.line, "a control character stands in the text");
}

bool isBad(const Token& t) { return t.kind == TokenKind::Unclosed || t.kind == TokenKind::Control; }

bool is(const EditToken& token, const char* text, std::size_t length) {
  return token.length == length && std::memcmp(token.text, text, length) == 0;
}

// For each block, the keywords it holds by their length, so that a word is compared with
// the one or two keywords of its length only.
constexpr std::size_t kLongestKeyword = 18;
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

// Index of the keyword of `block` named by `token`, or -1.
int findKeyword(const EditToken& token, std::size_t block) {
  if (token.length > kLongestKeyword) return -1;
  for (const std::uint8_t k : kKeywordsByLength[block][token.length]) {
    if (k == kNone) break;
    if (std::memcmp(kJiggleKeywords[k].keyword, token.text, token.length) == 0) return k;
  }
  return -1;
}

// Index of the keyword named by `token` in any block, or -1.
int findAnyKeyword(const EditToken& token) {
  for (std::size_t b = 0; b < kJiggleBlockCount; ++b) {
    const int keyword = findKeyword(token, b);
    if (keyword >= 0) return keyword;
  }
  return -1;
}

int findBlock(const EditToken& token) {
  for (std::size_t b = 0; b < kJiggleBlockCount; ++b) {
    if (is(token, kJiggleBlocks[b].keyword, kJiggleBlocks[b].length)) return static_cast<int>(b);
  }
  return -1;
}

// What an unknown word is: a keyword of another block, or nothing this layout holds.
std::string unknownWord(const EditToken& word, const char* where) {
  const int keyword = findAnyKeyword(word);
  if (keyword < 0) return shownForMessage(word) + " is not held by this model layout";
  for (const JiggleBlock& block : kJiggleBlocks) {
    if (static_cast<std::size_t>(keyword) >= block.first && static_cast<std::size_t>(keyword) < block.end) {
      return shownForMessage(word) + " belongs in " + block.keyword + ", not " + where;
    }
  }
  return shownForMessage(word) + " is not held by this model layout";
}

std::string describe(const Token& t) {
  switch (t.kind) {
    case TokenKind::End: return "the end of the text";
    case TokenKind::Open: return "\"{\"";
    case TokenKind::Close: return "\"}\"";
    case TokenKind::Quoted: return quotedForMessage(t.text);
    default: return shownForMessage(t.text);
  }
}

// A number as people write one, or the writer's text of a stored infinity or not-a-number:
// what may stand as a keyword's value. Whether it is a good one is for the caller.
bool looksLikeValue(const EditToken& word) {
  const char c = word.text[0];
  return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || is(word, "nan", 3) ||
         is(word, "inf", 3);
}

bool readTop(EditsReader& r, EditStatement& s) {
  const Token start = nextToken(r);
  if (start.kind == TokenKind::End) return false;
  if (isBad(start)) return failOnBadToken(r, start);
  if (start.kind != TokenKind::Word || !is(start.text, "$jigglebone", 11)) {
    return fail(r, start.text.line, "expected $jigglebone, found " + describe(start));
  }
  const Token name = nextToken(r);
  if (isBad(name)) return failOnBadToken(r, name);
  if (name.kind != TokenKind::Word && name.kind != TokenKind::Quoted) {
    return fail(r, name.text.line, "$jigglebone needs a bone name, found " + describe(name));
  }
  const Token open = nextToken(r);
  if (isBad(open)) return failOnBadToken(r, open);
  if (open.kind != TokenKind::Open) {
    return fail(r, open.text.line, "expected \"{\" after " + quotedForMessage(name.text) + ", found " + describe(open));
  }
  r.place = ReaderPlace::Bone;
  r.boneOpenedLine = open.text.line;
  r.blocksSeen = 0;
  s.kind = EditStatementKind::BoneStart;
  s.line = name.text.line;
  s.name = name.text;
  return true;
}

bool readInBone(EditsReader& r, EditStatement& s) {
  const Token t = nextToken(r);
  if (isBad(t)) return failOnBadToken(r, t);
  if (t.kind == TokenKind::End) return fail(r, r.boneOpenedLine, "this \"{\" is never closed");
  if (t.kind == TokenKind::Close) {
    r.place = ReaderPlace::Top;
    s.kind = EditStatementKind::BoneEnd;
    s.line = t.text.line;
    return true;
  }
  if (t.kind != TokenKind::Word) {
    return fail(r, t.text.line, "expected is_flexible, is_rigid, has_base_spring or \"}\", found " + describe(t));
  }
  const int block = findBlock(t.text);
  if (block < 0) return fail(r, t.text.line, unknownWord(t.text, "$jigglebone"));
  const auto bit = static_cast<std::uint8_t>(1u << block);
  if ((r.blocksSeen & bit) != 0) {
    return fail(r, t.text.line, shownForMessage(t.text) + " stands twice in one $jigglebone");
  }
  const Token open = nextToken(r);
  if (isBad(open)) return failOnBadToken(r, open);
  if (open.kind != TokenKind::Open) {
    return fail(r, open.text.line, "expected \"{\" after " + shownForMessage(t.text) + ", found " + describe(open));
  }
  r.blocksSeen |= bit;
  r.place = ReaderPlace::Block;
  r.block = static_cast<std::uint8_t>(block);
  r.openedLine = open.text.line;
  s.kind = EditStatementKind::BlockStart;
  s.block = r.block;
  s.line = t.text.line;
  return true;
}

bool readInBlock(EditsReader& r, EditStatement& s) {
  const JiggleBlock& block = kJiggleBlocks[r.block];
  const Token t = nextToken(r);
  if (isBad(t)) return failOnBadToken(r, t);
  if (t.kind == TokenKind::End) return fail(r, r.openedLine, "this \"{\" is never closed");
  if (t.kind == TokenKind::Close) {
    r.place = ReaderPlace::Bone;
    s.kind = EditStatementKind::BlockEnd;
    s.block = r.block;
    s.line = t.text.line;
    return true;
  }
  if (t.kind != TokenKind::Word) {
    return fail(r, t.text.line, std::string("expected a keyword of ") + block.keyword + " or \"}\", found " + describe(t));
  }
  const int keyword = findKeyword(t.text, r.block);
  if (keyword < 0) return fail(r, t.text.line, unknownWord(t.text, block.keyword));
  // The values follow, on its line or on others: numbers (and the writer's texts of a
  // stored infinity or not-a-number), or anything in quotes. A keyword or a brace ends them.
  const JiggleKeyword& k = kJiggleKeywords[keyword];
  std::size_t count = 0;
  for (;;) {
    const Token value = nextToken(r);
    if (isBad(value)) return failOnBadToken(r, value);
    if (value.kind != TokenKind::Quoted && !(value.kind == TokenKind::Word && looksLikeValue(value.text))) {
      // What ends the values is what comes next.
      r.aheadKind = static_cast<std::uint8_t>(static_cast<std::uint8_t>(value.kind) + 1);
      r.ahead = value.text;
      break;
    }
    if (count < 2) s.values[count] = value.text;
    ++count;
  }
  if (count != k.valueCount) {
    return fail(r, t.text.line,
                std::string(k.keyword) + " needs " + std::to_string(k.valueCount) +
                    (k.valueCount == 1 ? " value" : " values") + ", found " + std::to_string(count));
  }
  s.kind = EditStatementKind::Values;
  s.block = r.block;
  s.keyword = static_cast<std::uint8_t>(keyword);
  s.line = t.text.line;
  return true;
}

// Echoed tokens are cut: a message is one line, however long the word that caused it.
constexpr std::size_t kShownLength = 80;

}  // namespace

void startEditsReader(EditsReader& reader, const char* text, std::size_t size) {
  reader = EditsReader{};
  reader.at = text;
  reader.end = text + size;
  // A byte order mark, as some editors write one, is not text.
  if (size >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0) reader.at += 3;
}

bool readEditStatement(EditsReader& reader, EditStatement& statement) {
  if (reader.errorLine != 0 || reader.at == nullptr) return false;
  switch (reader.place) {
    case ReaderPlace::Top: return readTop(reader, statement);
    case ReaderPlace::Bone: return readInBone(reader, statement);
    case ReaderPlace::Block: return readInBlock(reader, statement);
  }
  return false;
}

bool skipUneditedBone(EditsReader& reader, const char* rest, std::size_t length) {
  if (reader.place != ReaderPlace::Bone || reader.aheadKind != 0 || reader.errorLine != 0) return false;
  const char* at = reader.at;
  const std::size_t left = static_cast<std::size_t>(reader.end - at);
  std::size_t lines = 0;
  if (left >= length && std::memcmp(at, rest, length) == 0) {
    at += length;
    for (std::size_t i = 0; i < length; ++i) lines += rest[i] == '\n' ? 1 : 0;
  } else {
    // The same text with CR LF line ends, as a text written on Windows has them.
    for (std::size_t i = 0; i < length; ++i, ++at) {
      if (rest[i] == '\n') {
        if (at == reader.end || *at != '\r') return false;
        ++at;
        ++lines;
      }
      if (at == reader.end || *at != rest[i]) return false;
    }
  }
  reader.at = at;
  reader.line += lines;
  reader.place = ReaderPlace::Top;
  return true;
}

std::string shownForMessage(const EditToken& token) {
  if (token.length <= kShownLength) return std::string(token.text, token.length);
  return std::string(token.text, kShownLength) + "...";
}

std::string quotedForMessage(const EditToken& token) {
  std::string quoted = "\"";
  quoted += shownForMessage(token);
  quoted += '"';
  return quoted;
}

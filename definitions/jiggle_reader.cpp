#include "definitions/jiggle_reader.h"

#include <cstring>

namespace {

enum class TokenKind { End, Newline, Open, Close, Word, Quoted, Unclosed, Control };

struct Token {
  TokenKind kind = TokenKind::End;
  EditToken text;
};

bool isSpace(unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }
bool isControl(unsigned char c) { return (c < 0x20 && !isSpace(c) && c != '\n') || c == 0x7F; }
bool startsComment(const EditsReader& r) { return r.end - r.at >= 2 && r.at[0] == '/' && r.at[1] == '/'; }

// Skips spaces and comments, and line feeds too unless `keepLineEnd`.
void skipBlanks(EditsReader& r, bool keepLineEnd) {
  while (r.at < r.end) {
    const auto c = static_cast<unsigned char>(*r.at);
    if (isSpace(c)) {
      ++r.at;
    } else if (c == '\n' && !keepLineEnd) {
      ++r.at;
      ++r.line;
    } else if (startsComment(r)) {
      while (r.at < r.end && *r.at != '\n') ++r.at;
    } else {
      break;
    }
  }
}

Token nextToken(EditsReader& r, bool keepLineEnd) {
  skipBlanks(r, keepLineEnd);
  Token t;
  t.text.text = r.at;
  t.text.line = r.line;
  if (r.at == r.end) return t;
  const auto c = static_cast<unsigned char>(*r.at);
  if (c == '\n') {
    t.kind = TokenKind::Newline;
  } else if (c == '{' || c == '}') {
    t.kind = c == '{' ? TokenKind::Open : TokenKind::Close;
    t.text.length = 1;
    ++r.at;
  } else if (c == '"') {
    // A name in quotes ends on its own line; any byte but a control character may stand in it.
    const char* start = ++r.at;
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
    t.text.text = start;
    t.text.length = static_cast<std::size_t>(r.at - start);
    ++r.at;
  } else if (isControl(c)) {
    t.kind = TokenKind::Control;
  } else {
    const char* start = r.at;
    while (r.at < r.end) {
      const auto b = static_cast<unsigned char>(*r.at);
      if (isSpace(b) || b == '\n' || b == '{' || b == '}' || b == '"' || isControl(b) ||
          startsComment(r)) {
        break;
      }
      ++r.at;
    }
    t.kind = TokenKind::Word;
    t.text.length = static_cast<std::size_t>(r.at - start);
  }
  return t;
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

// Index of the keyword or block named by `token` in [first, end), or -1.
int findKeyword(const EditToken& token, std::size_t first, std::size_t end) {
  for (std::size_t k = first; k < end; ++k) {
    if (is(token, kJiggleKeywords[k].keyword, kJiggleKeywords[k].length)) return static_cast<int>(k);
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
  const int keyword = findKeyword(word, 0, kJiggleKeywordCount);
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
    case TokenKind::Newline: return "the end of the line";
    case TokenKind::Open: return "\"{\"";
    case TokenKind::Close: return "\"}\"";
    case TokenKind::Quoted: return quotedForMessage(t.text);
    default: return shownForMessage(t.text);
  }
}

bool readTop(EditsReader& r, EditStatement& s) {
  const Token start = nextToken(r, false);
  if (start.kind == TokenKind::End) return false;
  if (isBad(start)) return failOnBadToken(r, start);
  if (start.kind != TokenKind::Word || !is(start.text, "$jigglebone", 11)) {
    return fail(r, start.text.line, "expected $jigglebone, found " + describe(start));
  }
  const Token name = nextToken(r, false);
  if (isBad(name)) return failOnBadToken(r, name);
  if (name.kind != TokenKind::Word && name.kind != TokenKind::Quoted) {
    return fail(r, name.text.line, "$jigglebone needs a bone name, found " + describe(name));
  }
  const Token open = nextToken(r, false);
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
  const Token t = nextToken(r, false);
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
  const Token open = nextToken(r, false);
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
  const Token t = nextToken(r, false);
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
  const int keyword = findKeyword(t.text, block.first, block.end);
  if (keyword < 0) return fail(r, t.text.line, unknownWord(t.text, block.keyword));
  // The values stand on the keyword's own line.
  const JiggleKeyword& k = kJiggleKeywords[keyword];
  std::size_t count = 0;
  for (;;) {
    skipBlanks(r, true);
    if (r.at == r.end || *r.at == '\n' || *r.at == '{' || *r.at == '}') break;
    const Token value = nextToken(r, true);
    if (isBad(value)) return failOnBadToken(r, value);
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

std::string shownForMessage(const EditToken& token) {
  if (token.length <= kShownLength) return std::string(token.text, token.length);
  return std::string(token.text, kShownLength) + "...";
}

std::string quotedForMessage(const EditToken& token) { return "\"" + shownForMessage(token) + "\""; }

#include "definitions/edit_tokens.h"

#include <array>
#include <cstring>

namespace {

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
void skipBlockComment(TokenCursor& c, const char*& at, std::size_t& line) {
  const std::size_t opened = line;
  at += 2;
  for (; at < c.end; ++at) {
    if (*at == '*' && at[1] == '/') {
      at += 2;
      return;
    }
    if (*at == '\n') ++line;
  }
  c.commentOpenedLine = opened;
}

// Skips blanks, line ends and comments. Works on local copies of the cursor: every byte of
// a large file passes through here.
inline void skipBlanks(TokenCursor& c) {
  const char* at = c.at;
  const char* const end = c.end;
  std::size_t line = c.line;
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
      skipBlockComment(c, at, line);
    } else {
      break;
    }
  }
  c.at = at;
  c.line = line;
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
Token quotedToken(TokenCursor& c) {
  Token t;
  t.text.line = c.line;
  const char* start = ++c.at;
  t.text.text = start;
  while (c.at < c.end) {
    const auto b = static_cast<unsigned char>(*c.at);
    if (b == '"' || b == '\n' || b == '\r' || isControl(b)) break;
    ++c.at;
  }
  if (c.at == c.end || *c.at != '"') {
    const bool control = c.at < c.end && isControl(static_cast<unsigned char>(*c.at));
    t.kind = control ? TokenKind::Control : TokenKind::Unclosed;
    return t;
  }
  t.kind = TokenKind::Quoted;
  t.text.length = static_cast<std::size_t>(c.at - start);
  ++c.at;
  return t;
}

// “ ” ‘ ’ in UTF-8: E2 80 followed by 9C, 9D, 98 or 99. Any of them opens or closes a
// name, since pasted text mixes them by language and by editor.
bool isTypographicQuote(const char* at, const char* end) {
  if (end - at < static_cast<std::ptrdiff_t>(kTypographicQuoteLength)) return false;
  const auto third = static_cast<unsigned char>(at[2]);
  return static_cast<unsigned char>(at[0]) == 0xE2 && static_cast<unsigned char>(at[1]) == 0x80 &&
         (third == 0x9C || third == 0x9D || third == 0x98 || third == 0x99);
}

// A name in typographic quotes closed on its own line; else false, and the bytes are a word.
bool typographicToken(TokenCursor& c, Token& t) {
  const char* start = c.at + kTypographicQuoteLength;
  for (const char* at = start; at < c.end; ++at) {
    const auto b = static_cast<unsigned char>(*at);
    if (b == '\n' || b == '\r' || isControl(b)) return false;
    if (isTypographicQuote(at, c.end)) {
      t.kind = TokenKind::TypographicQuoted;
      t.text.text = start;
      t.text.length = static_cast<std::size_t>(at - start);
      c.at = at + kTypographicQuoteLength;
      return true;
    }
  }
  return false;
}

}  // namespace

Token readToken(TokenCursor& c) {
  skipBlanks(c);
  Token t;
  t.text.text = c.at;
  t.text.line = c.line;
  if (c.at == c.end) {
    if (c.commentOpenedLine != 0) {
      t.kind = TokenKind::UnclosedComment;
      t.text.line = c.commentOpenedLine;
    }
    return t;
  }
  const std::uint8_t byteClass = classOf(*c.at);
  if (byteClass == 0 && isTypographicQuote(c.at, c.end) && typographicToken(c, t)) return t;
  if (byteClass == 0 || byteClass == kSlash) {
    c.at = wordEnd(c.at, c.end);
    t.kind = TokenKind::Word;
    t.text.length = static_cast<std::size_t>(c.at - t.text.text);
  } else if (byteClass == kBrace) {
    t.kind = *c.at == '{' ? TokenKind::Open : TokenKind::Close;
    t.text.length = 1;
    ++c.at;
  } else if (byteClass == kQuote) {
    return quotedToken(c);
  } else {
    t.kind = TokenKind::Control;
  }
  return t;
}

EditFault badTokenFault(const Token& t) {
  const EditFaultKind kind = t.kind == TokenKind::Unclosed   ? EditFaultKind::UnclosedQuote
                             : t.kind == TokenKind::Control ? EditFaultKind::ControlCharacter
                                                            : EditFaultKind::UnclosedComment;
  return makeFault(kind, t.text.line);
}

FoundKind foundKindOf(const Token& t) {
  switch (t.kind) {
    case TokenKind::End: return FoundKind::End;
    case TokenKind::Open: return FoundKind::Open;
    case TokenKind::Close: return FoundKind::Close;
    case TokenKind::Quoted: return FoundKind::Quoted;
    case TokenKind::TypographicQuoted: return FoundKind::Quoted;
    default: return FoundKind::Word;
  }
}

bool looksLikeValue(const Token& t) {
  if (isQuoted(t)) return true;
  if (t.kind != TokenKind::Word) return false;
  const TextSpan& word = t.text;
  const char c = word.text[0];
  return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' ||
         (word.length == 3 && (std::memcmp(word.text, "nan", 3) == 0 || std::memcmp(word.text, "inf", 3) == 0));
}

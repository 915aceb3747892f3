// The tokens of an edits text: words, braces and quoted names, with the blanks, line ends
// and "//" and "/* */" comments between them stepped over, and the lines counted. What the
// tokens mean is the reader's (jiggle_reader.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "definitions/edit_faults.h"

// TypographicQuoted: a name between typographic quotes (“ ” ‘ ’), as text pasted from a chat
// or a word processor has it, taken as quoted.
enum class TokenKind : std::uint8_t {
  End, Open, Close, Word, Quoted, TypographicQuoted, Unclosed, Control, UnclosedComment
};

struct Token {
  TokenKind kind = TokenKind::End;
  TextSpan text;  // a quoted name without its quotes
};

inline bool isQuoted(const Token& t) { return t.kind == TokenKind::Quoted || t.kind == TokenKind::TypographicQuoted; }

// The bytes of a typographic quote in UTF-8, each of the four.
inline constexpr std::size_t kTypographicQuoteLength = 3;

// Where the tokens are read from. `at` to `end` must be followed by a NUL byte: the loops
// stop on it rather than test the end at every byte.
struct TokenCursor {
  const char* at = nullptr;
  const char* end = nullptr;
  std::size_t line = 1;
  std::uint8_t aheadKind = 0;  // a token put back: its kind + 1; 0 for none
  TextSpan ahead;
  std::size_t commentOpenedLine = 0;  // of a "/*" found never closed
};

// A new token from the text, past any blanks and comments before it.
Token readToken(TokenCursor& cursor);

// The next token: the one put back, if any, else a new one.
inline Token nextToken(TokenCursor& cursor) {
  if (cursor.aheadKind != 0) {
    Token t;
    t.kind = static_cast<TokenKind>(cursor.aheadKind - 1);
    t.text = cursor.ahead;
    cursor.aheadKind = 0;
    return t;
  }
  return readToken(cursor);
}

// Puts a token back, to be the next one read; one at most.
inline void putBack(TokenCursor& cursor, const Token& t) {
  cursor.aheadKind = static_cast<std::uint8_t>(static_cast<std::uint8_t>(t.kind) + 1);
  cursor.ahead = t.text;
}

inline Token peekToken(TokenCursor& cursor) {
  const Token t = nextToken(cursor);
  putBack(cursor, t);
  return t;
}

// A token that cannot be read at all: a quote or "/*" never closed, a control character.
inline bool isBad(const Token& t) {
  return t.kind == TokenKind::Unclosed || t.kind == TokenKind::Control || t.kind == TokenKind::UnclosedComment;
}

// The fault of such a token; reading stops at it.
EditFault badTokenFault(const Token& t);

// What a token is, as a fault names what stood where something else was wanted.
FoundKind foundKindOf(const Token& t);

inline bool isCommand(const Token& t) { return t.kind == TokenKind::Word && t.text.text[0] == '$'; }

// A number as people write one, or the writer's text of a stored infinity or not-a-number,
// or anything in quotes: what may stand as a keyword's value. Whether it is a good one is
// for the caller.
bool looksLikeValue(const Token& t);

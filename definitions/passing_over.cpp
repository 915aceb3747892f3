#include "definitions/passing_over.h"

#include <cstddef>

void skipHeld(TokenCursor& tokens, HeldFaults& held, const TextSpan& word) {
  const Token open = peekToken(tokens);
  if (open.kind != TokenKind::Open) {
    for (;;) {
      const Token t = nextToken(tokens);
      if (!looksLikeValue(t)) return putBack(tokens, t);
    }
  }
  nextToken(tokens);
  std::size_t depth = 1;
  while (depth > 0) {
    const Token t = nextToken(tokens);
    if (isBad(t)) {
      holdFault(held, badTokenFault(t));
      return;
    }
    if (t.kind == TokenKind::End) {
      holdFault(held, makeFault(EditFaultKind::UnclosedAtEnd, open.text.line, word));
      return;
    }
    if (isCommand(t)) return putBack(tokens, t);
    if (t.kind == TokenKind::Open) ++depth;
    if (t.kind == TokenKind::Close) --depth;
  }
}

void passOverCommand(TokenCursor& tokens, HeldFaults& held, const Token& command) {
  // A counter, not a stack: any depth costs the same, and nothing recurses.
  std::size_t depth = 0;
  std::size_t openedLine = 0;
  for (;;) {
    const Token t = nextToken(tokens);
    if (isBad(t)) {
      holdFault(held, badTokenFault(t));
      return;
    }
    if (t.kind == TokenKind::End) {
      if (depth > 0) holdFault(held, makeFault(EditFaultKind::NeverClosed, openedLine, command.text));
      return;
    }
    // Inside its blocks everything is the command's, "$" words included: commands nest in
    // a model's source ($model holding $include, $collisionjoints holding $mass).
    if (depth == 0 && (isCommand(t) || t.kind == TokenKind::Close)) {
      return putBack(tokens, t);  // the next command; or a stray "}", which the top level refuses
    }
    if (t.kind == TokenKind::Open && depth++ == 0) openedLine = t.text.line;
    if (t.kind == TokenKind::Close) --depth;
  }
}

#include "definitions/passing_over.h"

#include <cstddef>

void skipHeld(TokenCursor& tokens, HeldFaults& held, const EditToken& word) {
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
  std::size_t depth = 0;
  std::size_t openedLine = 0;
  for (;;) {
    const Token t = nextToken(tokens);
    if (isBad(t)) {
      holdFault(held, badTokenFault(t));
      return;
    }
    if (t.kind == TokenKind::End) {
      if (depth > 0) holdFault(held, makeFault(EditFaultKind::UnclosedAtEnd, openedLine, command.text));
      return;
    }
    if ((depth == 0 && isCommand(t)) || (depth == 0 && t.kind == TokenKind::Close)) {
      return putBack(tokens, t);  // the next command; or a stray "}", which the top level refuses
    }
    // Commands do not nest: one inside a block means its "}" is missing.
    if (isCommand(t)) {
      EditFault fault = makeFault(EditFaultKind::Unclosed, openedLine, command.text);
      fault.otherLine = t.text.line;
      holdFault(held, fault);
      return putBack(tokens, t);
    }
    if (t.kind == TokenKind::Open && depth++ == 0) openedLine = t.text.line;
    if (t.kind == TokenKind::Close) --depth;
  }
}

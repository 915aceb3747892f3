// Passing over what the reader does not read: the values and "{ }" blocks of a word it does
// not know, and the other "$commands" of a model's source with their arguments and blocks.
// A fault met on the way is held, to be handed out after the one about the word.
#pragma once

#include "definitions/edit_tokens.h"
#include "definitions/held_faults.h"

// What a word that is not read here holds: a "{ }" block if one follows, with any blocks
// inside it, else the values after it. A command met inside the block ends it: its "}" is
// missing, and the block around it, left open, says so.
void skipHeld(TokenCursor& tokens, HeldFaults& held, const TextSpan& word);

// A "$command" other than "$jigglebone", its name read: its arguments and any "{ }" blocks,
// up to the next "$" word outside a block, or a stray "}", which is left to be read. Its
// blocks are passed over by balanced braces, whatever they hold (other commands, nested
// braces, quoted braces, comments); one never closed is a fault where it opened.
void passOverCommand(TokenCursor& tokens, HeldFaults& held, const Token& command);

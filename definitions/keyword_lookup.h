// The words of the $jigglebone language looked up in the keyword table, in any capitals:
// the command, the blocks, each block's keywords, and the words of the wider language these
// tools neither read nor write.
#pragma once

#include <cstddef>

#include "definitions/edit_faults.h"

inline constexpr char kBoneCommand[] = "$jigglebone";
inline constexpr std::size_t kBoneCommandLength = sizeof kBoneCommand - 1;

bool isBoneCommand(const TextSpan& word);

// The keyword of block `block` (an index into kJiggleBlocks) named by these bytes, or -1;
// the same for a keyword of any block, and for a block.
int findKeywordIn(const char* text, std::size_t length, std::size_t block);
int findAnyKeyword(const char* text, std::size_t length);
int findBlock(const char* text, std::size_t length);

// A word of the wider $jigglebone language that these tools neither read nor write.
bool isForeignWord(const TextSpan& word);

// Any word the language gives a meaning: a "$" command, a block, a keyword or a word of the
// wider language.
bool isLanguageWord(const TextSpan& word);

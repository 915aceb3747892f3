// Whether a word is close enough to another to be its likely misspelling, for "did you
// mean" in messages. Capitals do not count: the keywords are read in any capitals.
#pragma once

#include <cstddef>

constexpr std::size_t kFarApart = 3;

// An ASCII letter in lower case; any other byte as it is.
inline char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// How many edits turn `word` into `target` (a character added, dropped or changed, or two
// neighbours swapped), up to two; kFarApart for more. Cheap for words of any length: those
// whose lengths differ by more than two, or that are long, are not compared.
std::size_t editsApart(const char* word, std::size_t length, const char* target, std::size_t targetLength);

// The same test without regard to capitals only: whether the two are the same letters.
bool sameIgnoringCapitals(const char* a, std::size_t aLength, const char* b, std::size_t bLength);

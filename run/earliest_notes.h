// The first few notes of a run by line, of however many it finds: a file of a million
// faults costs no more memory than one of twenty, and the list still comes in line order
// though the notes are found a little out of it (a block's are found at its end).
#pragma once

#include <cstddef>

inline constexpr std::size_t kListedNotes = 20;

template <typename Note>
struct EarliestNotes {
  Note listed[kListedNotes];  // [0, count), by line; notes of one line in the order found
  std::size_t count = 0;
  std::size_t total = 0;
};

template <typename Note>
void keepEarliest(EarliestNotes<Note>& notes, const Note& note) {
  ++notes.total;
  if (notes.count == kListedNotes && note.line >= notes.listed[kListedNotes - 1].line) return;
  std::size_t at = notes.count < kListedNotes ? notes.count++ : kListedNotes - 1;
  for (; at > 0 && notes.listed[at - 1].line > note.line; --at) notes.listed[at] = notes.listed[at - 1];
  notes.listed[at] = note;
}

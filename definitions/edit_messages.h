// The words of every fault and warning an edits text can get: made here and only here, and
// only for those that are shown.
#pragma once

#include <string>

#include "definitions/edit_faults.h"

// What is wrong, and where it helps the way out, without the "<edits>:<line>: " before it.
std::string editFaultText(const EditFault& fault);
std::string editWarningText(const EditWarning& warning);

// A bone's name or a word as a message shows it: cut when long, and in quotes where it
// holds a blank or a brace that would blur where it ends.
std::string shownName(const TextSpan& token);

// What the page draws of a model's skeleton: each bone's place, kind and shape, so that
// the page needs no reading of its own of the bones.
#pragma once

#include <string>

#include "base/memory_hook.h"
#include "run/dump_run.h"

// One record per bone, in table order, each ended by '\x1e', its fields parted by '\x1f':
// the name (its stored bytes; empty where they lie outside the image), the parent's index
// (-1 for a root), the kind's word (skeleton/bone_kinds.h), the position relative to the
// parent "x y z", the rotation relative to it brought to unit length "x y z w", the
// direction the bone's shape points in its own frame "x y z" (unit length), the shape's
// length, and the bone's number among the jiggle bones in table order (-1 for other bones).
// Numbers are the shortest texts that read back to the same float32.
// Of a dump that kept its skeleton's facts and its bones' records. False, with nothing
// appended, when memory cannot be had.
bool renderSkeletonSummary(const DumpResult& result, const MemoryHook& memory, std::string& out);

// The console line that says what an edit changed in one bone, in the words of its text.
#pragma once

#include "base/byte_sink.h"
#include "model/jiggle_bone.h"

// "Changed <name>: " and, parted by ", ", each block added or removed ("is_rigid added"),
// each keyword line whose text changed ("yaw_stiffness 100 -> 150"; "(none)" where the
// line is not shown; an angle the edit changed as written, "angle_constraint 45 -> 45.4")
// and each switch that took effect ("length may flex"), in the order of the text; then
// "<name>: yaw limit removed" for each limit the edit switched off while a tip block stays.
// Writes nothing and returns false when the two show the same text.
bool renderBoneChanges(const JiggleBone& before, const JiggleBone& after, ByteSink& console);

// A jiggle bone's blocks and values in the .glb, as its .qci text shows them: one JSON
// object per block shown, one member per line, its value or its pair of values.
#pragma once

#include "model/jiggle_bone.h"
#include "base/kept_bytes.h"

// {"jigglebone":{"is_flexible":{"yaw_stiffness":80,...,"pitch_constraint":[-2,10]},...}}:
// the text's numbers as they are, whole degrees and "%g" alike; a value the text shows
// as inf or nan, which JSON has no number for, as null.
void appendJiggleExtras(KeptBytes& json, const JiggleBone& bone);

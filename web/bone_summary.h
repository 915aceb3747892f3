// What the page draws for each jiggle bone: its blocks, and every line its .qci text
// shows, with the unit of the line's values, so that cards and pictures need no rules of
// their own.
#pragma once

#include <string>

#include "model/model_image.h"
#include "run/dump_run.h"

// One record per jiggle bone, in table order, each ended by '\x1e', its fields parted by
// '\x1f': the name; the blocks present ("is_flexible", "is_rigid", "has_base_spring",
// space-parted, possibly none); the facts the text does not show (for a flexible tip
// "length-fixed" where its length is held, "length-flexes" where it may stretch; else
// empty); then one field per keyword line of the bone's text, once
// per keyword (the two tip blocks share their limit lines, length and tip_mass), each
// "<block> <unit> <role> <axis> <keyword> <value> [<value>]": the block it is first shown
// in, "d" for whole degrees or "s" for a value as stored, what the line does and along
// which axis (jiggle_keywords.h), and the values exactly as the text has them.
// Of a dump that kept its bones' records.
void renderBoneSummary(const DumpResult& result, std::string& out);
// Of a checked image (an apply's, as changed).
void renderImageBoneSummary(const ModelImage& image, std::string& out);

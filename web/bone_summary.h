// What the page draws for each jiggle bone: its tip kinds and base spring, and its limits
// in the same whole degrees as the definitions.
#pragma once

#include <string>

#include "model/model_image.h"

// One record per jiggle bone, in table order, each ended by '\x1e', its fields parted by
// '\x1f': the name; the kinds ("is_flexible", "is_rigid", "has_base_spring", space-parted);
// the yaw minimum and maximum; the pitch minimum and maximum; the angle limit. An unset
// limit's fields are empty. The image must have passed the checks.
void renderBoneSummary(const ModelImage& image, std::string& out);

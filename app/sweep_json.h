// sproing_sweep --json: one JSON object per line for each model, each folder that could not
// be read, and the summary, made of the runs' facts. The fields are the man page's.
#pragma once

#include <string>

#include "run/dump_run.h"
#include "run/sweep_tally.h"

// {"model", "status" (sproing_dump's exit status), "outcome", "jiggle_bones" (written), "output"
// (the file written, or null), "message" (sproing_dump's console line, or null)}
std::string sweepModelJson(const DumpRequest& request, const DumpResult& result);

// {"folder", "status": 6, "outcome": "cannot-read", "message"}
std::string unlistedFolderJson(const std::string& folder);

// {"summary": true, "models", "outcomes" (a count per outcome word), "jiggle_bones",
// "other_files", "other_capitals", "unlisted_folders", "renamed_outputs", "seconds",
// "interrupted"}
std::string sweepSummaryJson(const SweepTally& tally);

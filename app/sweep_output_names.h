// Where the sweep writes a model's text: OUTDIR/REL/name_jiggles.qci for a model at
// REL/name.mdl below the folder given, so that models of one name in two folders keep both.
#pragma once

#include <string>

#include "app/sweep_report.h"

// The output of a model in `relativeFolder` (may be empty) named `fileName`; a name another
// model of the sweep took already gets "~2", "~3"... before "_jiggles.qci", counted as
// renamed. Empty when the name is too long to make.
std::string sweepOutputFor(SweepReport& report, const std::string& relativeFolder, const std::string& fileName);

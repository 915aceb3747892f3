// sproing_apply's command line: sproing_apply [--skip-missing-bones] MODEL.mdl EDITS.qci
// OUTPUT.mdl writes a copy of the model with the edited jiggle definitions, changing
// nothing else.
#pragma once

// argv holds the program's name and its arguments, as UTF-8. Returns the exit status.
int runSproingApply(int argc, const char* const* argv);

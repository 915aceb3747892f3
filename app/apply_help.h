// sproing_apply's own texts on the console: the usage line, the help that --help prints
// (the usage and the rules of a block, in brief) and the version that --version prints.
#pragma once

extern const char kApplyUsage[];
extern const char kApplyHelp[];
extern const char kApplyVersion[];

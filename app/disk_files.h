// The files of a command-line run: on disk, by the UTF-8 paths typed.
#pragma once

#include "run/run_files.h"

const RunFiles& diskFiles();

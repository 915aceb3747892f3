// The console line that closes a written model's report.
#pragma once

#include <string>

#include "definitions/text_sink.h"

// "Wrote <name>" and a line feed.
void renderWroteLine(TextSink& console, const std::string& outputName);

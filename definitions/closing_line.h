// The console lines that close a run's report: the file written, or the file that could
// not be.
#pragma once

#include <string>

#include "definitions/text_sink.h"

// "Wrote <name>" and a line feed.
std::string wroteLine(const std::string& outputName);
void renderWroteLine(TextSink& console, const std::string& outputName);

// "Cannot write <name>" and a line feed.
std::string cannotWriteLine(const std::string& outputName);
void renderCannotWriteLine(TextSink& console, const std::string& outputName);

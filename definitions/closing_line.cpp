#include "definitions/closing_line.h"

std::string wroteLine(const std::string& outputName) { return "Wrote " + outputName + "\n"; }

void renderWroteLine(TextSink& console, const std::string& outputName) {
  const std::string line = wroteLine(outputName);
  sinkWrite(console, line.data(), line.size());
}

std::string cannotWriteLine(const std::string& outputName) { return "Cannot write " + outputName + "\n"; }

void renderCannotWriteLine(TextSink& console, const std::string& outputName) {
  const std::string line = cannotWriteLine(outputName);
  sinkWrite(console, line.data(), line.size());
}

#include "definitions/closing_line.h"

void renderWroteLine(TextSink& console, const std::string& outputName) {
  sinkLiteral(console, "Wrote ");
  sinkWrite(console, outputName.data(), outputName.size());
  sinkLiteral(console, "\n");
}

void renderCannotWriteLine(TextSink& console, const std::string& outputName) {
  sinkLiteral(console, "Cannot write ");
  sinkWrite(console, outputName.data(), outputName.size());
  sinkLiteral(console, "\n");
}

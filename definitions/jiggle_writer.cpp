#include "definitions/jiggle_writer.h"

#include <cstdio>

#include "definitions/closing_line.h"
#include "definitions/jiggle_text.h"
#include "definitions/output_file.h"
#include "definitions/text_sink.h"

bool writeJiggleDefinitions(const ModelImage& image, const std::string& outputName) {
  TextSink console;
  console.stream = stdout;

  OutputFile output;
  bool written = openOutputFile(output);
  if (written) {
    TextSink file;
    file.stream = output.stream;
    renderJiggleDefinitions(image, file, console);
    written = sinkFlush(file) ? commitOutputFile(output, outputName)
                              : (discardOutputFile(output), false);
  }
  if (written) {
    renderWroteLine(console, outputName);
  } else {
    sinkLiteral(console, "Cannot write ");
    sinkWrite(console, outputName.data(), outputName.size());
    sinkLiteral(console, "\n");
  }
  sinkFlush(console);
  return written;
}

// The page's way into the tools: a model's bytes and path in (and, to change it, an edits
// text), the tool's status, console text, output name, definitions text and changed model
// out, made by the same code as on the command line.
#pragma once

#include <cstddef>

extern "C" {

// sproing_dump. Takes ownership of `bytes` (from malloc; null when the page could not get
// the memory) and releases them. `path` is the model's path inside the drop, as UTF-8.
// Returns the status; the texts stay readable through sproingText until the next call.
int sproingProcess(unsigned char* bytes, std::size_t size, const char* path);

// sproing_apply, with the model's own file name as the output. Takes ownership of both
// buffers (from malloc; null when the page could not get the memory). Returns the status (0, 2, 3, 4, 5, 6, 7
// or 10). When 0: the console has the change lines and "Wrote <name>", kSproingModel the
// changed model and kSproingBones the changed bones' data.
int sproingApply(unsigned char* model, std::size_t modelSize, const char* modelPath,
                 unsigned char* edits, std::size_t editsSize, const char* editsPath);

enum SproingText : int {
  kSproingConsole = 0,     // the console lines, as the command line prints them
  kSproingDefinitions = 1, // the .qci text; empty unless written
  kSproingOutputName = 2,  // empty unless written
  kSproingBones = 3,       // the jiggle bones' pictures' data (bone_summary.h)
  kSproingModel = 4,       // the changed model's bytes; empty unless applied
};
const char* sproingText(int which);
std::size_t sproingTextLength(int which);
}

// The page's way into the tool: one model's bytes and path in, the tool's status, console
// text, output name and definitions text out, made by the same code as on the command line.
#pragma once

#include <cstddef>

extern "C" {

// Takes ownership of `bytes` (from malloc; null when the page could not get the memory) and
// releases them. `path` is the model's path inside the drop, as UTF-8. Returns the status;
// the texts stay readable through sproingText until the next call.
int sproingProcess(unsigned char* bytes, std::size_t size, const char* path);

enum SproingText : int {
  kSproingConsole = 0,     // the console lines, as the command line prints them
  kSproingDefinitions = 1, // the .qci text; empty unless written
  kSproingOutputName = 2,  // empty unless written
  kSproingBones = 3,       // the jiggle bones' pictures' data (bone_summary.h)
};
const char* sproingText(int which);
std::size_t sproingTextLength(int which);
}

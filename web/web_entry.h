// The page's way into the tools: a model's bytes and path in (and, to change it, an edits
// text), the run's result out as texts and numbers, made by the same runs as the command
// line's. The page reads these, never the console text.
#pragma once

#include <cstddef>

extern "C" {

// Memory for a file the page hands over, from the runs' own memory; null when it cannot be
// had. What the page does not hand over it gives back with sproingRelease.
unsigned char* sproingAllocate(std::size_t size);
void sproingRelease(unsigned char* bytes);

// sproing_dump. Takes ownership of `bytes` (from sproingAllocate; null when the page could
// not read the file or get the memory: the tool's "Cannot read") and releases them. `path`
// is the model's path inside the drop, as UTF-8. Returns the status.
int sproingDump(unsigned char* bytes, std::size_t size, const char* path);

// The same dump, which makes the model's skeleton file too (kSproingSkeletonFile) rather
// than its view's records.
int sproingSkeletonFile(unsigned char* bytes, std::size_t size, const char* path);

// sproing_apply, with the model's own file name as the output, and skipMissingBones (0 or
// 1) as its option. Takes ownership of both buffers (from sproingAllocate, or null as
// above). Returns the status.
int sproingApply(unsigned char* model, std::size_t modelSize, const char* modelPath,
                 unsigned char* edits, std::size_t editsSize, const char* editsPath,
                 int skipMissingBones);

// 1 when the tools take `path` as a model's by its name, else 0.
int sproingModelPath(const char* path);

// The texts of the last call, valid until the next one. Records are ended by '\x1e', their
// fields parted by '\x1f'.
enum SproingText : int {
  kSproingConsole = 0,       // the lines the command line prints, but for apply's closing line
  kSproingDefinitions = 1,   // the .qci text; empty unless written
  kSproingOutputName = 2,    // the .qci's name, or for apply the model's file name
                             // (the last part of its path, where the page saves it)
  kSproingBones = 3,         // the jiggle bones' data (bone_summary.h)
  kSproingModel = 4,         // apply: the changed model's bytes; empty unless a bone changed
  kSproingRefusals = 5,      // "<line>\x1f<what>\x1e" each, in line order; line 0: the whole text
  kSproingWarnings = 6,      // the same
  kSproingSkipped = 7,       // "<line>\x1f<name>\x1f<no-bone | no-rule>\x1e" each
  kSproingChangedBones = 8,  // "<name>\x1e" each, in the order of the edits
  kSproingOutcome = 9,       // the outcome's word (sproingWords lists them)
  kSproingFileName = 10,     // the last part of the model's path, as the page saves a copy
  kSproingSkeleton = 11,     // the bones' places for the view (web/skeleton_summary.h); empty
                             // where the skeleton cannot be drawn
  kSproingSkeletonMessage = 12,  // why it cannot be drawn (or made), else empty
  kSproingSkeletonFile = 13,     // sproingSkeletonFile: the .glb's bytes, as sproing_sweep
                                 // --skeleton writes them
  kSproingSkeletonName = 14,     // its name, as the sweep names it after the model's file
};
const char* sproingText(int which);
std::size_t sproingTextLength(int which);

enum SproingNumber : int {
  kSproingStatus = 0,
  kSproingChanged = 1,           // 1 when the apply changed a bone
  kSproingUnlistedRefusals = 2,  // beyond those in kSproingRefusals
  kSproingUnlistedWarnings = 3,
  kSproingPassedOver = 4,        // other $commands of the edits, passed over
};
int sproingNumber(int which);

// The words the page names things by, from the tools' own tables, so that no list in the
// page restates one here; valid at any time. Records ended by '\x1e', each
// "<group>\x1f<name>\x1f<value>[\x1f<more>...]":
//   "text", "number"  the name of each SproingText and SproingNumber, and its index
//   "outcome"  each outcome word, its status, its label, and how the page shows it: "done"
//              (written), "quiet" (nothing to do, nothing wrong) or "refused"
//   "skipped"  why a block was skipped ("no-bone" or "no-rule"), and the console's words
//   "passed-over"  "other-capitals": why a file named .MDL or in other capitals is not taken,
//              and the way out
//   "degrees"  "to-radians": the factor by which a written angle becomes the stored radians;
//              "to-degrees": the one by which stored radians are shown
//   "block"    each block keyword, in the order written, and the kind of bone it makes
//   "role"     each role a keyword line has, and "amount" or "" (an amount is never below zero)
//   "axis"     each axis a keyword line acts along
//   "kind"     each kind of bone the skeleton tells apart: its word (as the skeleton's records
//              name it), its label and its colour "#rrggbb"
//   "keyword"  each keyword line, in the order written: the blocks it stands in (their
//              keywords, space-parted), its unit ("d" whole degrees, "s" as stored), role,
//              axis, and how many values it takes (0: a switch, never written by the dump)
const char* sproingWords();

// A number as the text shows a value stored as it is: the float32 nearest `value`, as
// printf's "%g" writes it. Valid until the next call.
const char* sproingFormatValue(double value);
}

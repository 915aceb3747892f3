// sproing_dump's whole run, for every front end: the checks in their order on a model
// reached through the run's files, the definitions written to the output through them, and
// the result as facts, which hold nothing of the model: a result can be released before
// it is shown. The console's lines are made of them in one place (console_lines.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "definitions/output_name.h"
#include "model/jiggle_bone.h"
#include "model/model_bounds.h"
#include "run/dump_skeleton.h"
#include "run/run_files.h"
#include "run/run_outcome.h"

// What the result keeps of the model's jiggle bones, beyond their count.
enum class DumpKeeps : std::uint8_t {
  Counts,       // nothing: the sweep's line names no bone
  BoneLines,    // each bone's name and the flags its console line needs
  BoneRecords,  // and its whole record, for the page's cards
};

struct DumpRequest {
  const char* modelPath = "";        // as typed: the file read, and its name in the messages
  const char* outputPath = nullptr;  // where the text goes; null: outputName, in the current folder
  DumpKeeps keeps = DumpKeeps::BoneLines;
  // The skeleton, once the text is in place: written as a .glb at this path (null: none),
  // and its facts kept for the page's view.
  const char* skeletonPath = nullptr;
  bool keepSkeleton = false;
};

struct DumpResult {
  RunOutcome outcome = RunOutcome::Written;
  RunFileRole about = RunFileRole::Model;  // CannotRead, CannotWrite: the model, or the output
  RunStep step = RunStep::Reading;         // OutOfMemory: reading the model, or writing the text
  std::int32_t version = 0;                // OldVersion
  ModelDamage damage;                      // Damaged
  char outputName[kOutputNameRoom] = {};   // made from the stored name, once the model passed
  std::size_t jiggleBones = 0;             // written
  // Written, as the request keeps them: the bones in table order, packed one after another
  // (forEachDumpedBone reads them), and with BoneRecords each one's record as stored. From
  // the run's memory, given back by releaseDumpResult.
  unsigned char* bones = nullptr;
  std::uint32_t (*records)[kJiggleWords] = nullptr;
  // Written, where the request asks for the skeleton: how it ended, and its facts.
  SkeletonFacts skeleton;
};

// The statuses in the order they are checked: 2, 6, then 3, 4, 7, 5, then 6 (memory) and
// 8. Written: the text is in place at the output.
DumpResult runDump(const DumpRequest& request, const RunFiles& files);
void releaseDumpResult(DumpResult& result, const RunFiles& files);

// A kept bone packs what its console line needs, and no more, as a result of hundreds of
// thousands of bones is held beside its model: the low byte of its flags (every bit the line
// shows), its name's length in two bytes (names are at most kMaxBoneNameLength), its name.
inline constexpr std::size_t kDumpedBoneHead = 3;

// Visits each bone a result keeps, in table order: visit(i, name, nameLength, flags).
template <typename Visit>
void forEachDumpedBone(const DumpResult& result, Visit visit) {
  const unsigned char* at = result.bones;
  for (std::size_t i = 0; at != nullptr && i < result.jiggleBones; ++i) {
    const std::size_t length = static_cast<std::size_t>(at[1]) | static_cast<std::size_t>(at[2]) << 8;
    visit(i, reinterpret_cast<const char*>(at + kDumpedBoneHead), length, static_cast<std::uint32_t>(at[0]));
    at += kDumpedBoneHead + length;
  }
}

// Each bone of a result that keeps its records, as the text showed it: visit(bone).
template <typename Visit>
void forEachDumpedRecord(const DumpResult& result, Visit visit) {
  if (result.records == nullptr) return;
  JiggleBone bone;
  forEachDumpedBone(result, [&](std::size_t i, const char* name, std::size_t length, std::uint32_t) {
    bone.name = name;
    bone.nameLength = length;
    for (std::size_t w = 0; w < kJiggleWords; ++w) bone.words[w] = result.records[i][w];
    visit(static_cast<const JiggleBone&>(bone));
  });
}

// Where the text went, or was to go.
inline const char* dumpOutputPath(const DumpRequest& request, const DumpResult& result) {
  return request.outputPath != nullptr ? request.outputPath : result.outputName;
}

#include "run/dump_run.h"

#include <cstring>

#include "definitions/jiggle_keywords.h"
#include "definitions/jiggle_text.h"
#include "run/model_checks.h"

namespace {

// Keeps what the request asks of the jiggle bones, in blocks of exactly their size: the
// names are counted first. False when the memory cannot be had; nothing is then held.
bool keepBones(const ModelImage& image, DumpKeeps keeps, const MemoryHook& memory, DumpResult& result) {
  static_assert(kMaxBoneNameLength <= 0xFFFF && (kBlockBits & ~0xFFu) == 0, "a kept bone's head holds these");
  std::size_t count = 0;
  std::size_t bytes = 0;
  forEachJiggleBone(image, [&](std::int32_t, const unsigned char* bone) {
    ++count;
    bytes += kDumpedBoneHead + std::strlen(boneName(bone));
    return true;
  });
  result.jiggleBones = count;
  if (keeps == DumpKeeps::Counts) return true;
  result.bones = static_cast<unsigned char*>(allocateWith(memory, bytes));
  if (keeps == DumpKeeps::BoneRecords) {
    result.records = static_cast<std::uint32_t (*)[kJiggleWords]>(
        allocateZeroedWith(memory, count, sizeof(std::uint32_t[kJiggleWords])));
  }
  if (result.bones == nullptr || (keeps == DumpKeeps::BoneRecords && result.records == nullptr)) return false;
  unsigned char* at = result.bones;
  std::size_t i = 0;
  forEachJiggleBone(image, [&](std::int32_t, const unsigned char* bone) {
    const char* name = boneName(bone);
    const std::size_t length = std::strlen(name);
    at[0] = static_cast<unsigned char>(readUint32LE(jiggleParams(bone) + JiggleParams::kFlags));
    at[1] = static_cast<unsigned char>(length);
    at[2] = static_cast<unsigned char>(length >> 8);
    std::memcpy(at + kDumpedBoneHead, name, length);
    at += kDumpedBoneHead + length;
    if (result.records != nullptr) decodeJiggleRecord(jiggleParams(bone), result.records[i++]);
    return true;
  });
  return true;
}

}  // namespace

DumpResult runDump(const DumpRequest& request, const RunFiles& files) {
  DumpResult result;
  if (!takesModelPath(request.modelPath)) return endRun(result, RunOutcome::NotModelPath);
  FileBytes file;
  const FileLoad load = loadRunFile(files, request.modelPath, 0, file);
  if (load != FileLoad::Loaded) return endRun(result, outcomeOf(load));
  ModelImage image{file.bytes, file.size};
  const ModelCheck check = checkLoadedModel(image);
  result.outcome = check.outcome;
  result.version = check.version;
  result.damage = check.damage;
  if (check.outcome == RunOutcome::Written) {
    std::memcpy(result.outputName, check.outputName, sizeof result.outputName);
    if (!keepBones(image, request.keeps, files.memory, result)) {
      releaseDumpResult(result, files);
      endRun(result, RunOutcome::OutOfMemory);
    } else {
      const OutputEnd end = writeRunOutput(files, dumpOutputPath(request, result), true, [&](ByteSink& sink) {
        renderJiggleDefinitions(image, sink);
        return true;
      });
      if (end != OutputEnd::InPlace) {
        releaseDumpResult(result, files);
        endRun(result, outcomeOf(end), RunFileRole::Output, RunStep::Writing);
      } else if (request.skeletonPath != nullptr || request.keepSkeleton) {
        dumpSkeleton(image, request.skeletonPath, request.keepSkeleton, files, result.skeleton);
      }
    }
  }
  releaseRunFile(files, file);
  return result;
}
void releaseDumpResult(DumpResult& result, const RunFiles& files) {
  freeWith(files.memory, result.bones);
  freeWith(files.memory, result.records);
  result.bones = nullptr;
  result.records = nullptr;
  releaseSkeletonFacts(result.skeleton, files.memory);
}


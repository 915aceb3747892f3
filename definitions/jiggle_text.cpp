#include "definitions/jiggle_text.h"

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

#include "definitions/angle_conversion.h"
#include "definitions/number_format.h"

namespace {

using Params = JiggleParams;

template <std::size_t N>
void putGeneral(TextSink& out, const char (&key)[N], const unsigned char* params,
                std::size_t field) {
  char number[kNumberTextSize] = {};
  sinkLiteral(out, key);
  sinkWriteFromArray(out, number, formatGeneral(jiggleValue(params, field), number));
  sinkLiteral(out, "\n");
}

template <std::size_t N>
void putGeneralPair(TextSink& out, const char (&key)[N], const unsigned char* params,
                    std::size_t first, std::size_t second) {
  char number[kNumberTextSize] = {};
  sinkLiteral(out, key);
  sinkWriteFromArray(out, number, formatGeneral(jiggleValue(params, first), number));
  sinkLiteral(out, " ");
  sinkWriteFromArray(out, number, formatGeneral(jiggleValue(params, second), number));
  sinkLiteral(out, "\n");
}

void putDegrees(TextSink& out, const unsigned char* params, std::size_t field) {
  char number[kNumberTextSize] = {};
  const std::int32_t degrees = toWholeDegrees(jiggleValue(params, field));
  sinkWriteFromArray(out, number, formatInteger(degrees, number));
}

template <std::size_t N>
void putDegreesLine(TextSink& out, const char (&key)[N], const unsigned char* params,
                    std::size_t field) {
  sinkLiteral(out, key);
  putDegrees(out, params, field);
  sinkLiteral(out, "\n");
}

template <std::size_t N>
void putDegreesPair(TextSink& out, const char (&key)[N], const unsigned char* params,
                    std::size_t first, std::size_t second) {
  sinkLiteral(out, key);
  putDegrees(out, params, first);
  sinkLiteral(out, " ");
  putDegrees(out, params, second);
  sinkLiteral(out, "\n");
}

// The same lines close both kinds of tip block.
void putLimitLines(TextSink& out, const unsigned char* params, std::uint32_t flags) {
  if ((flags & YawLimited) != 0) {
    putDegreesPair(out, "\t\tyaw_constraint ", params, Params::kYawMin, Params::kYawMax);
    putGeneral(out, "\t\tyaw_friction ", params, Params::kYawFriction);
  }
  if ((flags & AngleLimited) != 0) {
    putDegreesLine(out, "\t\tangle_constraint ", params, Params::kAngleLimit);
  }
  if ((flags & PitchLimited) != 0) {
    putDegreesPair(out, "\t\tpitch_constraint ", params, Params::kPitchMin, Params::kPitchMax);
    putGeneral(out, "\t\tpitch_friction ", params, Params::kPitchFriction);
    putGeneral(out, "\t\tpitch_bounce ", params, Params::kPitchBounce);
  }
}

void renderBone(const unsigned char* bone, TextSink& file, TextSink& console) {
  const char* name = boneName(bone);
  const std::size_t nameLength = std::strlen(name);
  const unsigned char* params = jiggleParams(bone);
  const std::uint32_t flags = jiggleFlags(params);

  sinkLiteral(console, "Jigglebone: ");
  sinkWrite(console, name, nameLength);
  sinkLiteral(console, " ");
  sinkLiteral(file, "$jigglebone \"");
  sinkWrite(file, name, nameLength);
  sinkLiteral(file, "\" {\n");

  if ((flags & FlexibleTip) != 0) {
    sinkLiteral(console, "- is_flexible ");
    sinkLiteral(file, "\tis_flexible {\n");
    putGeneral(file, "\t\tyaw_stiffness ", params, Params::kYawStiffness);
    putGeneral(file, "\t\tyaw_damping ", params, Params::kYawDamping);
    putGeneral(file, "\t\tpitch_stiffness ", params, Params::kPitchStiffness);
    putGeneral(file, "\t\tpitch_damping ", params, Params::kPitchDamping);
    putGeneral(file, "\t\talong_stiffness ", params, Params::kAlongStiffness);
    putGeneral(file, "\t\talong_damping ", params, Params::kAlongDamping);
    putGeneral(file, "\t\tlength ", params, Params::kLength);
    putGeneral(file, "\t\ttip_mass ", params, Params::kTipMass);
    putLimitLines(file, params, flags);
    sinkLiteral(file, "\t}\n");
  }
  if ((flags & RigidTip) != 0) {
    sinkLiteral(console, "- is_rigid ");
    sinkLiteral(file, "\tis_rigid {\n");
    putGeneral(file, "\t\tlength ", params, Params::kLength);
    putGeneral(file, "\t\ttip_mass ", params, Params::kTipMass);
    putLimitLines(file, params, flags);
    sinkLiteral(file, "\t}\n");
  }
  if ((flags & BaseSpring) != 0) {
    sinkLiteral(console, "- has_base_spring ");
    sinkLiteral(file, "\n\thas_base_spring {\n");
    putGeneral(file, "\t\tbase_mass ", params, Params::kBaseMass);
    putGeneral(file, "\t\tstiffness ", params, Params::kBaseStiffness);
    putGeneral(file, "\t\tdamping ", params, Params::kBaseDamping);
    putGeneralPair(file, "\t\tleft_constraint ", params, Params::kLeftMin, Params::kLeftMax);
    putGeneral(file, "\t\tleft_friction ", params, Params::kLeftFriction);
    putGeneralPair(file, "\t\tup_constraint ", params, Params::kUpMin, Params::kUpMax);
    putGeneral(file, "\t\tup_friction ", params, Params::kUpFriction);
    putGeneralPair(file, "\t\tforward_constraint ", params, Params::kForwardMin,
                   Params::kForwardMax);
    putGeneral(file, "\t\tforward_friction ", params, Params::kForwardFriction);
    sinkLiteral(file, "\t}\n");
  }
  sinkLiteral(console, "\n");
  sinkLiteral(file, "}\n\n");
}

void renderBones(const ModelImage& image, std::int32_t first, std::int32_t end, TextSink& file,
                 TextSink& console) {
  for (std::int32_t i = first; i < end; ++i) {
    const unsigned char* bone = boneRecord(image, i);
    if (isJiggleBone(bone)) renderBone(bone, file, console);
  }
}

// Large models are rendered on two threads, in runs of bones ("chunks") whose text is
// held until the chunks before them are out: the numbers' text costs several times what
// writing it does, and a second core halves it. A few chunks of bounded size are in
// flight at once, so memory stays small whatever the model's size.
constexpr std::int32_t kSplitFromBones = 2048;
// One chunk being written, one rendered on each thread.
constexpr std::size_t kChunks = 3;
// A chunk ends once its text may reach this. A bone's text is at most its name twice
// (block and console line) and kBoneTextBound besides: every block and line, numbers
// at their longest ("-1.23457e+38", "-2147483648").
constexpr std::size_t kChunkTextBudget = 96 * 1024;
constexpr std::size_t kBoneTextBound = 1200;

struct Chunk {
  std::int32_t first = 0;
  std::int32_t end = 0;
  bool rendered = false;
  std::string fileText;
  std::string consoleText;
};

struct SplitRendering {
  const ModelImage* image = nullptr;
  std::int32_t bones = 0;
  std::mutex lock;
  std::condition_variable changed;
  std::int32_t nextBone = 0;  // the first bone no chunk holds yet
  std::size_t claimed = 0;    // chunks handed out so far
  std::size_t written = 0;    // chunks whose text is out
  Chunk chunks[kChunks];
};

bool canClaim(const SplitRendering& work) {
  return work.nextBone < work.bones && work.claimed < work.written + kChunks;
}

// The next run of bones, under the lock; canClaim must hold.
Chunk& claimChunk(SplitRendering& work) {
  Chunk& chunk = work.chunks[work.claimed++ % kChunks];
  chunk.first = work.nextBone;
  std::size_t budget = 0;
  std::int32_t i = work.nextBone;
  while (i < work.bones && budget < kChunkTextBudget) {
    const unsigned char* bone = boneRecord(*work.image, i++);
    if (isJiggleBone(bone)) budget += kBoneTextBound + 2 * std::strlen(boneName(bone));
  }
  chunk.end = work.nextBone = i;
  return chunk;
}

// Outside the lock: only the claiming thread touches the chunk until it is marked.
void renderChunk(const ModelImage& image, Chunk& chunk) {
  chunk.fileText.clear();
  chunk.consoleText.clear();
  // Room once for a chunk's whole text, rather than doubling into twice what it needs.
  chunk.fileText.reserve(kChunkTextBudget + kBoneTextBound + 2 * 4096);
  TextSink file;
  TextSink console;
  file.memory = &chunk.fileText;
  console.memory = &chunk.consoleText;
  renderBones(image, chunk.first, chunk.end, file, console);
  sinkFlush(file);
  sinkFlush(console);
}

void renderChunksInTurn(SplitRendering& work) {
  std::unique_lock<std::mutex> held(work.lock);
  for (;;) {
    work.changed.wait(held, [&work] { return canClaim(work) || work.nextBone == work.bones; });
    if (!canClaim(work)) return;
    Chunk& chunk = claimChunk(work);
    held.unlock();
    renderChunk(*work.image, chunk);
    held.lock();
    chunk.rendered = true;
    work.changed.notify_all();
  }
}

// The calling thread writes chunks out in order, and renders when it has none to write.
void renderSplit(SplitRendering& work, TextSink& file, TextSink& console) {
  std::unique_lock<std::mutex> held(work.lock);
  while (work.nextBone < work.bones || work.written < work.claimed) {
    Chunk& next = work.chunks[work.written % kChunks];
    if (work.written < work.claimed && next.rendered) {
      held.unlock();
      sinkWrite(file, next.fileText.data(), next.fileText.size());
      sinkWrite(console, next.consoleText.data(), next.consoleText.size());
      held.lock();
      next.rendered = false;
      ++work.written;
      work.changed.notify_all();
    } else if (canClaim(work)) {
      Chunk& chunk = claimChunk(work);
      held.unlock();
      renderChunk(*work.image, chunk);
      held.lock();
      chunk.rendered = true;
    } else {
      work.changed.wait(held);
    }
  }
}

}  // namespace

void renderJiggleDefinitions(const ModelImage& image, TextSink& file, TextSink& console) {
  const std::int32_t bones = boneCount(image);
#if !defined(__EMSCRIPTEN__) || defined(__EMSCRIPTEN_PTHREADS__)
  if (bones >= kSplitFromBones) {
    SplitRendering work;
    work.image = &image;
    work.bones = bones;
    std::thread helper;
    // The one exception the standard library may raise here: no thread to be had. The
    // text is then rendered on this thread alone, as for a small model.
    try {
      helper = std::thread(renderChunksInTurn, std::ref(work));
    } catch (const std::system_error&) {
    }
    if (helper.joinable()) {
      renderSplit(work, file, console);
      helper.join();
      return;
    }
  }
#endif
  renderBones(image, 0, bones, file, console);
}

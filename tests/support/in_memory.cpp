#include "tests/support/in_memory.h"

#include <cstdlib>
#include <cstring>

#include "definitions/jiggle_text.h"
#include "run/apply_run.h"
#include "run/dump_run.h"

namespace {

// Files served from memory by name, each read into a fresh allocation of exactly its size
// (and the extra bytes asked for), as a file on disk would be.
struct MemoryFiles {
  const char* names[2];
  const std::string* contents[2];
};

bool load(void* context, const char* path, std::size_t extra, ModelImage& image) {
  const auto& files = *static_cast<MemoryFiles*>(context);
  for (int i = 0; i < 2; ++i) {
    if (files.names[i] == nullptr || std::strcmp(files.names[i], path) != 0) continue;
    const std::string& bytes = *files.contents[i];
    if (bytes.empty() && extra == 0) return true;
    image.bytes = static_cast<unsigned char*>(std::calloc(bytes.size() + extra, 1));
    if (image.bytes == nullptr) return false;
    if (!bytes.empty()) std::memcpy(image.bytes, bytes.data(), bytes.size());
    image.size = bytes.size();
    return true;
  }
  return false;
}

void release(void*, ModelImage& image) {
  std::free(image.bytes);
  image = ModelImage{};
}

}  // namespace

RenderedText renderedText(const ModelImage& image) {
  RenderedText text;
  TextSink file, console;
  file.memory = &text.file;
  console.memory = &text.console;
  renderJiggleDefinitions(image, file, console);
  sinkFlush(file);
  sinkFlush(console);
  return text;
}

DumpedModel dumpInMemory(std::vector<unsigned char> bytes) {
  const std::string model(bytes.begin(), bytes.end());
  MemoryFiles memory{{"m.mdl", nullptr}, {&model, nullptr}};
  const RunFiles files{&memory, load, release, nullptr};
  DumpedModel out;
  ModelImage image;
  out.status = startDump("m.mdl", files, image).status;
  if (out.status == 0) out.text = renderedText(image);
  finishDump(files, image);
  return out;
}

AppliedModel applyInMemory(std::vector<unsigned char> model, const std::string& edits, bool skipMissingBones) {
  const std::string modelBytes(model.begin(), model.end());
  MemoryFiles memory{{"m.mdl", "e.qci"}, {&modelBytes, &edits}};
  const RunFiles files{&memory, load, release, nullptr};
  ApplyRequest request;
  request.modelPath = "m.mdl";
  request.editsPath = "e.qci";
  request.outputPath = "out.mdl";
  request.skipMissingBones = skipMissingBones;
  ApplyResult result = runApply(request, files);
  AppliedModel out;
  out.status = result.status;
  out.console = result.console;
  out.bytes = result.status == 0 ? std::vector<unsigned char>(result.output.bytes, result.output.bytes + result.output.size)
                                 : std::move(model);
  out.refusals = result.refusals;
  out.warnings = result.warnings;
  out.skipped = result.skipped;
  out.changed = result.changed;
  releaseApplyResult(result, files);
  return out;
}

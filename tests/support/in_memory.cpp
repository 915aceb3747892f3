#include "tests/support/in_memory.h"

#include <cstdlib>
#include <cstring>

#include "definitions/edit_messages.h"
#include "definitions/jiggle_text.h"
#include "run/apply_run.h"
#include "run/console_lines.h"
#include "run/dump_run.h"

namespace {

// Files served from memory by name, each read into a fresh allocation of exactly its size
// (and the extra bytes asked for), as a file on disk would be; the output kept in memory.
struct MemoryFiles {
  const char* names[2];
  const std::string* contents[2];
  std::string output;
};

FileLoad load(void* context, const char* path, std::size_t extra, const MemoryHook& memory, ModelImage& image) {
  const auto& files = *static_cast<MemoryFiles*>(context);
  for (int i = 0; i < 2; ++i) {
    if (files.names[i] == nullptr || std::strcmp(files.names[i], path) != 0) continue;
    const std::string& bytes = *files.contents[i];
    if (bytes.empty() && extra == 0) return FileLoad::Loaded;
    image.bytes = static_cast<unsigned char*>(allocateZeroedWith(memory, bytes.size() + extra, 1));
    if (image.bytes == nullptr) return FileLoad::OutOfMemory;
    if (!bytes.empty()) std::memcpy(image.bytes, bytes.data(), bytes.size());
    image.size = bytes.size();
    return FileLoad::Loaded;
  }
  return FileLoad::CannotRead;
}

void release(void*, const MemoryHook& memory, ModelImage& image) {
  freeWith(memory, image.bytes);
  image = ModelImage{};
}

bool openOutput(void* context, const char*, bool, TextSink& sink) {
  auto& files = *static_cast<MemoryFiles*>(context);
  files.output.clear();
  sink.stream = nullptr;
  sink.memory = &files.output;
  return true;
}

bool closeOutput(void*, const char*, TextSink& sink, bool complete) { return sinkFlush(sink) && complete; }

RunFiles memoryFiles(MemoryFiles& memory, FailingMemory* failing) {
  RunFiles files;
  files.context = &memory;
  files.load = load;
  files.release = release;
  files.openOutput = openOutput;
  files.closeOutput = closeOutput;
  if (failing != nullptr) files.memory = failingMemoryHook(*failing);
  return files;
}

void* reallocateFailing(void* context, void* block, std::size_t size) {
  auto& memory = *static_cast<FailingMemory*>(context);
  if (size == 0) {
    if (block != nullptr) --memory.held;
    std::free(block);
    return nullptr;
  }
  ++memory.asked;
  if (memory.asked == memory.failAt) return nullptr;
  void* grown = std::realloc(block, size);
  if (grown != nullptr && block == nullptr) ++memory.held;
  return grown;
}

std::string withoutLastLine(const std::string& text) {
  if (text.empty()) return text;
  const std::size_t end = text.rfind('\n', text.size() - 2);
  return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

// The console's lines of a dump, from its facts.
std::string dumpLines(const DumpRequest& request, const DumpResult& result) {
  std::string text;
  TextSink console;
  console.memory = &text;
  renderDumpLines(request, result, console);
  sinkFlush(console);
  return text;
}

}  // namespace

MemoryHook failingMemoryHook(FailingMemory& memory) { return MemoryHook{&memory, reallocateFailing}; }

RenderedText renderedText(const ModelImage& image) {
  RenderedText text;
  TextSink file;
  file.memory = &text.file;
  renderJiggleDefinitions(image, file);
  sinkFlush(file);
  DumpResult written;
  written.image = image;
  text.console = withoutLastLine(dumpLines(DumpRequest{}, written));
  return text;
}

DumpedModel dumpInMemory(std::vector<unsigned char> bytes, FailingMemory* memory) {
  const std::string model(bytes.begin(), bytes.end());
  MemoryFiles held{{"m.mdl", nullptr}, {&model, nullptr}, {}};
  const RunFiles files = memoryFiles(held, memory);
  DumpRequest request;
  request.modelPath = "m.mdl";
  DumpResult result = runDump(request, files);
  DumpedModel out;
  out.status = exitStatusOf(result.outcome);
  out.console = dumpLines(request, result);
  if (result.outcome == RunOutcome::Written) {
    out.text.file = held.output;
    out.text.console = withoutLastLine(out.console);
  }
  releaseDumpResult(result, files);
  return out;
}

AppliedModel applyInMemory(std::vector<unsigned char> model, const std::string& edits, bool skipMissingBones,
                           FailingMemory* memory) {
  const std::string modelBytes(model.begin(), model.end());
  MemoryFiles held{{"m.mdl", "e.qci"}, {&modelBytes, &edits}, {}};
  const RunFiles files = memoryFiles(held, memory);
  ApplyRequest request;
  request.modelPath = "m.mdl";
  request.editsPath = "e.qci";
  request.outputPath = "out.mdl";
  request.skipMissingBones = skipMissingBones;
  ApplyResult result = runApply(request, files);
  AppliedModel out;
  out.status = exitStatusOf(result.outcome);
  TextSink sink;
  sink.memory = &out.console;
  renderApplyLines(request, result, false, sink);
  sinkFlush(sink);
  if (result.outcome == RunOutcome::Written) {
    out.bytes.assign(held.output.begin(), held.output.end());
  } else {
    out.bytes = std::move(model);
  }
  const EditsFindings& findings = result.findings;
  if (result.outcome == RunOutcome::EditsRefused) {
    for (std::size_t i = 0; i < findings.faults.count; ++i) {
      out.refusals.push_back({findings.faults.listed[i].line, editFaultText(findings.faults.listed[i])});
    }
  }
  if (result.outcome == RunOutcome::Written) {
    for (std::size_t i = 0; i < findings.warnings.count; ++i) {
      out.warnings.push_back({findings.warnings.listed[i].line, editWarningText(findings.warnings.listed[i])});
    }
    for (std::size_t i = 0; i < findings.skipped.count; ++i) {
      const SkippedBlock& block = findings.skipped.items[i];
      out.skipped.push_back({block.line, std::string(block.name.text, block.name.length), block.inModel});
    }
  }
  out.changed = modelChanged(result);
  releaseApplyResult(result, files);
  return out;
}

#include "tests/support/in_memory.h"

#include <cstdlib>
#include <cstring>

#include "definitions/edit_messages.h"
#include "definitions/jiggle_text.h"
#include "run/apply_run.h"
#include "run/console_lines.h"
#include "run/dump_run.h"
#include "run/memory_files.h"

namespace {

// The run's files in memory: each input read into a fresh allocation of exactly its size
// (and the extra bytes asked for), as a file on disk would be; the outputs kept.
RunFiles filesOf(MemoryFiles& held, FailingMemory* failing) {
  return memoryFiles(held, failing != nullptr ? failingMemoryHook(*failing) : MemoryHook{});
}

std::string keptText(const MemoryFiles& held, const char* path) {
  const KeptBytes* kept = keptOutput(held, path);
  return kept != nullptr && kept->size > 0 ? std::string(reinterpret_cast<const char*>(kept->bytes), kept->size) : std::string();
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
  return renderToString([&](ByteSink& console) { renderDumpLines(request, result, console); });
}

}  // namespace

MemoryHook failingMemoryHook(FailingMemory& memory) { return MemoryHook{&memory, reallocateFailing}; }

RenderedText renderedText(const ModelImage& image) {
  RenderedText text;
  text.file = renderToString([&](ByteSink& file) { renderJiggleDefinitions(image, file); });
  text.console = renderToString([&](ByteSink& console) {
    forEachJiggleBone(image, [&](std::int32_t, const unsigned char* bone) {
      JiggleBone decoded;
      decodeJiggleBone(image, bone, decoded);
      renderJiggleBoneLine(decoded.name, decoded.nameLength, jiggleFlags(decoded), console);
      return true;
    });
  });
  return text;
}

DumpedModel dumpInMemory(std::vector<unsigned char> bytes, FailingMemory* memory) {
  MemoryFiles held;
  held.inputs[0] = MemoryInput{"m.mdl", nullptr, bytes.data(), bytes.size()};
  const RunFiles files = filesOf(held, memory);
  DumpRequest request;
  request.modelPath = "m.mdl";
  DumpResult result = runDump(request, files);
  DumpedModel out;
  out.status = exitStatusOf(result.outcome);
  out.console = dumpLines(request, result);
  if (result.outcome == RunOutcome::Written) {
    out.text.file = keptText(held, result.outputName);
    out.text.console = withoutLastLine(out.console);
  }
  releaseDumpResult(result, files);
  releaseMemoryFiles(held, files.memory);
  return out;
}

AppliedModel applyInMemory(std::vector<unsigned char> model, const std::string& edits, bool skipMissingBones,
                           FailingMemory* memory) {
  MemoryFiles held;
  held.inputs[0] = MemoryInput{"m.mdl", nullptr, model.data(), model.size()};
  held.inputs[1] = MemoryInput{"e.qci", nullptr, reinterpret_cast<const unsigned char*>(edits.data()), edits.size()};
  const RunFiles files = filesOf(held, memory);
  ApplyRequest request;
  request.modelPath = "m.mdl";
  request.editsPath = "e.qci";
  request.outputPath = "out.mdl";
  request.skipMissingBones = skipMissingBones;
  ApplyResult result = runApply(request, files);
  AppliedModel out;
  out.status = exitStatusOf(result.outcome);
  out.console = renderToString([&](ByteSink& console) { renderApplyLines(request, result, console); });
  if (result.outcome == RunOutcome::Written) {
    const std::string written = keptText(held, request.outputPath);
    out.bytes.assign(written.begin(), written.end());
  } else {
    out.bytes = std::move(model);
  }
  const EditsFindings& findings = result.findings;
  if (result.outcome == RunOutcome::EditsRefused) {
    forEachRefusal(findings, [&](std::size_t line, const std::string& what) { out.refusals.push_back({line, what}); });
  }
  if (result.outcome == RunOutcome::Written) {
    forEachWarning(findings, [&](std::size_t line, const std::string& what) { out.warnings.push_back({line, what}); });
    for (std::size_t i = 0; i < findings.skipped.count; ++i) {
      const SkippedBlock& block = findings.skipped.items[i];
      out.skipped.push_back({block.line, std::string(block.name.text, block.name.length), block.inModel});
    }
  }
  out.changed = modelChanged(result);
  releaseApplyResult(result, files);
  releaseMemoryFiles(held, files.memory);
  return out;
}

#include "app/sweep_json.h"

#include "base/utf8.h"
#include "run/console_lines.h"

namespace {

// A JSON string of the text: bytes that are no UTF-8 are shown as U+FFFD, as JSON text is
// Unicode.
std::string quoted(const std::string& text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = utf8SequenceLength(bytes, text.size(), i);
    char escaped[6];
    if (length == 0) {
      out += "\\ufffd";
    } else if (length == 1) {
      out.append(escaped, jsonEscaped(bytes[i], escaped));
    } else {
      out.append(text, i, length);
    }
    i += length == 0 ? 1 : length;
  }
  return out + "\"";
}

// A console line, as a JSON message: without its line end.
template <typename Render>
std::string message(Render render) {
  std::string line = renderToString(render);
  if (!line.empty() && line.back() == '\n') line.pop_back();
  return line;
}

}  // namespace

std::string sweepModelJson(const DumpRequest& request, const DumpResult& result) {
  const bool written = result.outcome == RunOutcome::Written;
  std::string out = "{\"model\":" + quoted(request.modelPath);
  out += ",\"status\":" + std::to_string(exitStatusOf(result.outcome));
  out += ",\"outcome\":\"" + std::string(outcomeWord(result.outcome)) + "\"";
  out += ",\"jiggle_bones\":" + std::to_string(written ? result.jiggleBones : 0);
  out += ",\"output\":" + (written ? quoted(dumpOutputPath(request, result)) : std::string("null"));
  out += ",\"message\":" +
         (written ? std::string("null") : quoted(message([&](ByteSink& sink) { renderDumpRefusal(request, result, sink); })));
  // With --skeleton, the skeleton's file or why it was not written; without, lines as before.
  if (request.skeletonPath != nullptr) {
    const bool skeleton = result.skeleton.end == SkeletonEnd::Written;
    out += ",\"skeleton\":" + (skeleton ? quoted(request.skeletonPath) : std::string("null"));
    out += ",\"skeleton_message\":" +
           (skeletonNotWritten(result)
                ? quoted(message([&](ByteSink& sink) { renderSkeletonNotWritten(request, result, sink); }))
                : std::string("null"));
  }
  return out + "}";
}

std::string unlistedFolderJson(const std::string& folder) {
  return "{\"folder\":" + quoted(folder) + ",\"status\":" + std::to_string(exitStatusOf(RunOutcome::CannotRead)) +
         ",\"outcome\":\"" + outcomeWord(RunOutcome::CannotRead) + "\",\"message\":" +
         quoted(message([&](ByteSink& sink) { renderCannotRead(folder.c_str(), sink); })) +
         "}";
}

std::string sweepSummaryJson(const SweepTally& tally) {
  std::string out = "{\"summary\":true,\"models\":" + std::to_string(sweptModels(tally)) + ",\"outcomes\":{";
  for (std::size_t i = 0; i < kRunOutcomeCount; ++i) {
    if (!endsADump(static_cast<RunOutcome>(i))) continue;
    out += (i == 0 ? "\"" : ",\"") + std::string(kRunOutcomeNames[i].word) + "\":" + std::to_string(tally.byOutcome[i]);
  }
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.3f", tally.seconds);
  out += "},\"jiggle_bones\":" + std::to_string(tally.jiggleBones);
  out += ",\"other_files\":" + std::to_string(tally.otherFiles);
  out += ",\"other_capitals\":" + std::to_string(tally.otherCapitals);
  out += ",\"unlisted_folders\":" + std::to_string(tally.unlistedFolders);
  out += ",\"renamed_outputs\":" + std::to_string(tally.renamedOutputs);
  if (tally.skeletonsAsked) {
    out += ",\"skeletons\":" + std::to_string(tally.skeletons);
    out += ",\"skeletons_not_written\":" + std::to_string(tally.skeletonsNotWritten);
  }
  out += ",\"seconds\":" + std::string(seconds);
  out += std::string(",\"interrupted\":") + (tally.interrupted ? "true" : "false");
  return out + "}";
}

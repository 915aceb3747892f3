#include "app/sweep_json.h"

#include <cstdio>

#include "base/utf8.h"
#include "run/console_lines.h"

namespace {

std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
      ++i;
    } else if (byte < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      out += escaped;
      ++i;
    } else {
      const std::size_t length = utf8SequenceLength(reinterpret_cast<const unsigned char*>(text.data()), text.size(), i);
      if (length == 0) {
        out += "\\ufffd";
        ++i;
      } else {
        out.append(text, i, length);
        i += length;
      }
    }
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
  out += ",\"message\":" + (written ? std::string("null") : quoted(message([&](ByteSink& sink) { renderDumpRefusal(request, result, sink); })));
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
  out += ",\"seconds\":" + std::string(seconds);
  out += std::string(",\"interrupted\":") + (tally.interrupted ? "true" : "false");
  return out + "}";
}

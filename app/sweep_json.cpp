#include "app/sweep_json.h"

#include <cstdio>

#include "run/console_lines.h"

namespace {

// The length of the UTF-8 sequence starting at `at`, or 0 where the bytes are no such
// sequence (JSON text is Unicode: such bytes are shown as U+FFFD).
std::size_t sequenceLength(const std::string& text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  const std::size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead < 0xE0 ? 2 : lead >= 0xE0 && lead < 0xF0 ? 3
                             : lead >= 0xF0 && lead < 0xF5 ? 4 : 0;
  if (length == 0 || at + length > text.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return 0;
  }
  const auto second = static_cast<unsigned char>(text[at + 1 < text.size() ? at + 1 : at]);
  // Overlong forms, UTF-16 surrogates and code points past U+10FFFF are no UTF-8.
  if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) || (lead == 0xF0 && second < 0x90) ||
      (lead == 0xF4 && second >= 0x90)) {
    return 0;
  }
  return length;
}

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
      const std::size_t length = sequenceLength(text, i);
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

std::string refusalLine(const DumpRequest& request, const DumpResult& result) {
  std::string line;
  TextSink sink;
  sink.memory = &line;
  renderDumpRefusal(request, result, sink);
  sinkFlush(sink);
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
  out += ",\"message\":" + (written ? std::string("null") : quoted(refusalLine(request, result)));
  return out + "}";
}

std::string unlistedFolderJson(const std::string& folder) {
  return "{\"folder\":" + quoted(folder) + ",\"status\":" + std::to_string(exitStatusOf(RunOutcome::CannotRead)) +
         ",\"outcome\":\"" + outcomeWord(RunOutcome::CannotRead) + "\",\"message\":" + quoted("Cannot read " + folder) +
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

#include "app/sweep_walk.h"

#include "app/sweep_json.h"
#include "app/sweep_output_names.h"
#include "definitions/near_words.h"
#include "platform/folders.h"
#include "run/console_lines.h"
#include "run/model_checks.h"

namespace {

bool holdsModelSuffixInOtherCapitals(const std::string& name) {
  for (std::size_t i = 0; i + 4 <= name.size(); ++i) {
    if (sameIgnoringCapitals(name.data() + i, 4, ".mdl", 4)) return true;
  }
  return false;
}

void reportUnlisted(SweepReport& report, const std::string& folder) {
  ++report.tally.unlistedFolders;
  if (report.arguments.json) {
    putSweepLine(report, unlistedFolderJson(folder));
  } else {
    renderUnlistedFolderLine(folder.c_str(), report.console);
  }
}

std::string parentOf(const std::string& relative) {
  const std::size_t end = lastSeparatorOf(relative);
  return end == std::string::npos ? std::string() : relative.substr(0, end);
}

}  // namespace

void sweepPath(SweepWindow& window, SweepReport& report, const std::string& path) {
  if (pathKindUtf8(path) != PathKind::Folder) {
    // A model given by itself, read as sproing_dump reads it: by the name check on the path.
    return addSweepJob(window, report, path,
                       sweepOutputFor(report, std::string(), std::string(lastPathPart(path, kSystemSeparators))));
  }
  const bool listed = walkFolderUtf8(path, [&](const FoundEntry& found) {
    if (sweepInterrupted()) return false;
    if (found.kind == EntryKind::Unlisted) {
      reportUnlisted(report, found.path);
      return true;
    }
    if (found.kind == EntryKind::Other || !takesModelPath(found.name.c_str())) {
      ++report.tally.otherFiles;
      if (found.kind == EntryKind::File && holdsModelSuffixInOtherCapitals(found.name)) {
        ++report.tally.otherCapitals;
        if (!report.arguments.json && !report.arguments.quiet) renderOtherCapitalsLine(found.path.c_str(), report.console);
      }
      return true;
    }
    addSweepJob(window, report, found.path, sweepOutputFor(report, parentOf(found.relative), found.name));
    return true;
  });
  if (!listed) reportUnlisted(report, path);
}

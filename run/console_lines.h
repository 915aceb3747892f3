// The one place where a run's facts become the console's lines: the command-line tools, the
// sweep, the page's module and the tests all print through it, so that no front end makes a
// message of its own or repeats the order of the checks.
#pragma once

#include <cstddef>

#include "base/byte_sink.h"
#include "definitions/edit_messages.h"
#include "model/model_bounds.h"
#include "run/apply_run.h"
#include "run/dump_run.h"
#include "run/sweep_tally.h"

// sproing_dump: a line per jiggle bone the result keeps and the closing line once the text
// is in place; else the one line of the refusal or failure, since nothing was written.
void renderDumpLines(const DumpRequest& request, const DumpResult& result, ByteSink& console);

// Both tools' last line, "Wrote <output>", for a run that wrote it; nothing for the rest.
void renderClosingLine(RunOutcome outcome, const char* output, ByteSink& console);

// That one line of a run that wrote nothing; nothing for a run that wrote its text.
void renderDumpRefusal(const DumpRequest& request, const DumpResult& result, ByteSink& console);

// sproing_apply: a refusal's line, or every refusal of the edits ("<edits>:<line>: <what>",
// the first few, then how many more); or what was passed over and skipped, the warnings
// and a line per changed bone, before the closing line; or, when the output could not be
// written, that alone.
void renderApplyLines(const ApplyRequest& request, const ApplyResult& result, ByteSink& console);

// The refusals of an apply (or its warnings), the first few, in line order: each note's line
// (0: the whole text) and its words, without the "<edits>:<line>: " the console puts first.
template <typename Visit>
void forEachRefusal(const EditsFindings& findings, Visit visit) {
  for (std::size_t i = 0; i < findings.faults.count; ++i) {
    visit(findings.faults.listed[i].line, editFaultText(findings.faults.listed[i]));
  }
}
template <typename Visit>
void forEachWarning(const EditsFindings& findings, Visit visit) {
  for (std::size_t i = 0; i < findings.warnings.count; ++i) {
    visit(findings.warnings.listed[i].line, editWarningText(findings.warnings.listed[i]));
  }
}

// sproing_sweep: a model's line, "<model>: <outcome>" with what it needs said (the bones
// written and where, the version, the damage, the output that could not be written).
void renderSweepLine(const DumpRequest& request, const DumpResult& result, ByteSink& console);

// "Cannot read <path>": a file or folder that could not be read.
void renderCannotRead(const char* path, ByteSink& console);

// Why a skeleton cannot be drawn: "bone 12's parent (14) does not come before it".
void renderSkeletonFault(const SkeletonFault& fault, ByteSink& console);
// Whether a dump asked for its skeleton and did not get it; and, for one that did not,
// "skeleton not written: " and why.
bool skeletonNotWritten(const DumpResult& result);
void renderSkeletonNotWritten(const DumpRequest& request, const DumpResult& result, ByteSink& console);

// A folder of the sweep that could not be listed; a file passed over whose name holds
// ".mdl" in other capitals, with the way out.
void renderUnlistedFolderLine(const char* folder, ByteSink& console);
void renderOtherCapitalsLine(const char* path, ByteSink& console);
// Why such a file is passed over, and the way out, as the page says it too.
const char* otherCapitalsWords();

// The sweep's last line: the models by outcome, the time taken, the files passed over and
// the outputs renamed.
void renderSweepSummary(const SweepTally& tally, ByteSink& console);

// What is wrong with a damaged model, as "<path> is damaged: " goes on.
void renderDamage(const ModelDamage& damage, ByteSink& console);

// Why a block was skipped under --skip-missing-bones, as "Skipped <name>: " goes on.
const char* skippedReason(bool inModel);

// "<n> <one>" or "<n> <many>", as counts are said.
void renderCount(std::size_t count, const char* one, const char* many, ByteSink& console);

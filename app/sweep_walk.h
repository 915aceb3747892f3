// The sweep's walk over one folder or file given: every model found becomes a job, in the
// order found; files that are no models by their names are counted, those named .MDL or in
// other capitals said, and folders that cannot be listed reported.
#pragma once

#include <string>

#include "app/sweep_report.h"
#include "app/sweep_window.h"

void sweepPath(SweepWindow& window, SweepReport& report, const std::string& path);

// The three ways kestova-sim shows a run: a per-tick table, the table with every host call
// under its tick, and JSON Lines for tools.
#pragma once

#include <cstdio>
#include <memory>

#include "cli/run/run.h"

namespace cli {

enum class ReportFormat { table, trace, json };

std::unique_ptr<RunSink> makeReport(ReportFormat format, std::FILE* out);

// The closing line of a report: only a run that finished has one.
void writeReportEnd(ReportFormat format, std::FILE* out, const RunOutcome& outcome);

}  // namespace cli

// The three ways kestova-sim shows a run: a per-tick table, the table with every host call
// under its tick, and JSON Lines for tools.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "cli/run/run.h"
#include "toggle/settings_file.h"

namespace cli {

enum class ReportFormat { table, trace, json };

// What a report knows of the run before its first tick.
struct RunHeading {
  std::string scenario;  // the scenario's name
  ToggleSettings settings =
      settings_file::kDefaults;  // as the plugin reads them from the scenario's settings file
  bool signedTimers = false;
};

// The formats, each in a file of its own.
std::unique_ptr<RunSink> makeTableReport(std::FILE* out, bool withCalls, bool signedTimers);
std::unique_ptr<RunSink> makeJsonReport(std::FILE* out, const RunHeading& heading);

inline std::unique_ptr<RunSink> makeReport(ReportFormat format, std::FILE* out,
                                           const RunHeading& heading) {
  if (format == ReportFormat::json) return makeJsonReport(out, heading);
  return makeTableReport(out, format == ReportFormat::trace, heading.signedTimers);
}

}  // namespace cli

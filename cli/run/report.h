// The ways kestova-sim shows a run: a per-tick table, the table with every host call under its
// tick, JSON Lines for tools, and a timeline picture. The JSON and the picture show the settings
// as the plugin reads them from the scenario's settings file, since that read is no host call.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "cli/run/run.h"

namespace cli {

// The formats, each in a file of its own.
std::unique_ptr<RunSink> makeTableReport(std::FILE* out, bool withCalls, bool signedTimers);
std::unique_ptr<RunSink> makeJsonReport(std::FILE* out, const Scenario& scenario);

// The picture of a run as SVG (svg_timeline.cpp): one row per control and per thing the plugin
// sent, against tick and timer, with the tap window marked at each press and release.
std::string drawTimeline(const Scenario& scenario, const RunSummary& run);

}  // namespace cli

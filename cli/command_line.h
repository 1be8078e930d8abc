// kestova-sim's command line: the run and check subcommands, each with its options, read into
// what to do. Running is what kestova-sim does without a subcommand.
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "cli/run/report.h"
#include "common/result.h"

namespace cli {

inline constexpr char kProgramName[] = "kestova-sim";

struct RunArguments {
  std::optional<std::string> scenarioPath;  // none: the built-in demo
  ReportFormat format = ReportFormat::table;
  std::optional<std::string> svgPath;
  std::string pluginPath;
};

struct CheckArguments {
  std::optional<std::string> path;  // none: ./Kestova.ini
  std::vector<int> taps;            // press lengths in milliseconds, for the tap advice
  std::vector<int> holds;
  bool write = false;  // write the advice's suggestion into the settings file
};

// --help or --version: the text to print, and nothing to do.
struct ShowText {
  std::string text;
};

using Command = std::variant<RunArguments, CheckArguments, ShowText>;

// The program's name first, then its arguments. An error is one line for standard error, about
// the command line.
common::Result<Command> parseCommandLine(const std::vector<std::string>& arguments);

}  // namespace cli

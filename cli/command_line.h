// kestova-sim's command line: the run and check subcommands, each with its options, read into
// what to do. Running with no subcommand is a run.
#pragma once

#include <optional>
#include <string>
#include <variant>

#include "cli/run/report.h"
#include "sim/result.h"

namespace cli {

struct RunCommand {
  std::optional<std::string> scenarioPath;  // none: the built-in demo
  ReportFormat format = ReportFormat::table;
  std::optional<std::string> svgPath;
  std::string pluginPath;
};

struct CheckCommand {
  std::optional<std::string> path;  // none: ./Kestova.ini
};

// --help or --version: the text to print, and nothing to do.
struct ShowText {
  std::string text;
};

using Command = std::variant<RunCommand, CheckCommand, ShowText>;

// argv[0] is the program's. An error is one line for standard error, about the command line.
sim::Result<Command> parseCommandLine(int argc, const char* const* argv);

}  // namespace cli

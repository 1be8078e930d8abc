// `kestova-sim run`: a scenario through the plugin, its report on standard output, its picture
// in a file, and what went wrong on standard error.
#pragma once

#include <optional>
#include <string>

#include "common/exit_status.h"

namespace cli {

inline constexpr char kProgramName[] = "kestova-sim";

struct RunArguments {
  std::optional<std::string> scenarioPath;  // none: the built-in demo
  bool trace = false;                       // the table with every host call under its tick
  bool json = false;                        // JSON Lines instead of the table
  std::optional<std::string> svgPath;
  std::string pluginPath;
};

common::ExitStatus runCommand(const RunArguments& command);

}  // namespace cli

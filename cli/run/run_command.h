// `kestova-sim run`: a scenario through the plugin, its report on standard output, its picture
// in a file, and what went wrong on standard error.
#pragma once

#include "cli/command_line.h"

namespace cli {

// The exit status, from cli/exit_status.h.
int runCommand(const RunCommand& command);

}  // namespace cli

// `kestova-sim run`: a scenario through the plugin, its report on standard output, its picture
// in a file, and what went wrong on standard error.
#pragma once

#include "cli/command_line.h"
#include "common/exit_status.h"

namespace cli {

common::ExitStatus runCommand(const RunArguments& command);

}  // namespace cli

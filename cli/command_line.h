// kestova-sim's command line: the run and check subcommands, each with its options, read and
// carried out. Running is what kestova-sim does without a subcommand.
#pragma once

#include <string>
#include <vector>

#include "common/exit_status.h"

namespace cli {

inline constexpr char kProgramName[] = "kestova-sim";

// The program's name first, then its arguments, in UTF-8. A mistake in them is one line on
// standard error.
common::ExitStatus runCommandLine(const std::vector<std::string>& arguments);

}  // namespace cli

// A check's report as a player reads it: the answer first and again last, each finding that has
// a fix as a paragraph that starts with it, then the details.
#pragma once

#include <cstdio>
#include <string>

#include "cli/check/findings.h"
#include "common/exit_status.h"
#include "common/result.h"

namespace cli {

// Whether the plugin will work as checked, in one line: ready, problems that stop it, warnings.
std::string verdict(const CheckReport& report);

// The report as a player reads it: the heading, the verdict, each finding that has a fix as a
// paragraph that starts with it, the details, and the verdict again.
std::string reportText(const CheckReport& report);

// Prints the report on out, or an error as one line on err, for the program named: fine,
// warnings (a missing settings file too: the plugin then uses its defaults), or cannot read.
common::ExitStatus printCheck(const common::Result<CheckReport>& report, std::FILE* out,
                              std::FILE* err, const std::string& program);

}  // namespace cli

// KestovaCheck, the player's checker, as a function of its arguments and the machine it runs on,
// so that tests can run it on a machine of their own: one that owns a console, answers, or hands
// over the presses of the aim button the checker measures after the check.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "common/exit_status.h"

namespace cli {

class Machine;  // machine.h

// arguments: UTF-8, the program's own name first.
common::ExitStatus runChecker(const std::vector<std::string>& arguments, Machine& machine,
                              std::FILE* out, std::FILE* err);

}  // namespace cli

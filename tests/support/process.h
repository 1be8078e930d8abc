// Running a program as a user does, in a folder of its own: its output, its messages and its
// exit status. POSIX only: the Windows suite runs no programs of its own.
#pragma once

#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace testing_support {

struct ProgramRun {
  int status = -1;  // the exit status, or 128 + the signal that ended it
  std::string out;
  std::string err;
};

// Runs argv[0] with the given arguments in folder, its output caught in files there.
ProgramRun runProgram(const common::TempFolder& folder, const std::vector<std::string>& argv);

// The text's lines, without their line ends.
std::vector<std::string> lines(const std::string& text);
// Whether a program of this name is on the PATH.
bool haveProgram(const std::string& name);

}  // namespace testing_support

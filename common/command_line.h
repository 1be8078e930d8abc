// What both programs do with CLI11's verdict on their command line: --help and --version print
// their text, a mistake is one error line that points to the help, anything else is carried out.
#pragma once

#include <CLI/CLI.hpp>
#include <cstdio>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "common/console.h"
#include "common/exit_status.h"

namespace common {

// arguments: in UTF-8, the program's name first. nullopt when the command is to be carried out;
// else the status to exit with, its text already written.
inline std::optional<ExitStatus> parseArguments(CLI::App& app,
                                                const std::vector<std::string>& arguments,
                                                std::FILE* out, std::FILE* err,
                                                const std::string& helpHint) {
  // CLI11 takes the words after the program's name, last first.
  std::vector<std::string> words(arguments.rbegin(), arguments.rend());
  if (!words.empty()) words.pop_back();
  try {
    app.parse(words);
  } catch (const CLI::ParseError& error) {
    // --help and --version end the parse too, with their text to show.
    std::ostringstream shown;
    if (app.exit(error, shown, shown) == 0) {
      writeText(out, shown.str());
      return ExitStatus::success;
    }
    writeError(err, Error(error.what() + std::string(" (see ") + helpHint + ")"), app.get_name());
    return ExitStatus::badInput;
  }
  return std::nullopt;
}

}  // namespace common

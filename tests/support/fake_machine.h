// A machine of the test's own for the checker: a system reader that says what the test wants,
// a console it owns or not, and the player's answers, one line at a time.
#pragma once

#include <deque>
#include <optional>
#include <string>

#include "cli/check/machine.h"

namespace testing_support {

class FakeMachine : public cli::Machine {
 public:
  std::optional<cli::SystemReading> reading;  // what its reader reads from any file
  bool ownsConsole = false;
  std::deque<std::string> answers;  // each readLine takes one; none left is the end of input
  size_t linesRead = 0;

  std::optional<cli::SystemReading> readSettings(const std::filesystem::path&) override {
    return reading;
  }
  bool ownsConsoleWindow() override { return ownsConsole; }
  std::optional<std::string> readLine() override {
    ++linesRead;
    if (answers.empty()) return std::nullopt;
    std::string line = answers.front();
    answers.pop_front();
    return line;
  }
};

}  // namespace testing_support

// A machine of the test's own for the checker: a system reader that says what the test wants,
// a console it owns or not, and the player's answers, one line at a time.
#pragma once

#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/check/machine.h"

namespace testing_support {

class FakeMachine : public cli::Machine {
 public:
  std::optional<cli::SystemReading> reading;     // what its reader reads from any file
  std::vector<std::filesystem::path> filesRead;  // the files its reader was asked about
  bool ownsConsole = false;
  std::deque<std::string> answers;  // each readLine takes one; none left is the end of input
  size_t linesRead = 0;
  bool canReadPresses = true;
  std::vector<cli::PressEvent> presses;  // handed over in turn; then input ends

  std::optional<cli::SystemKind> system() override {
    return reading ? std::optional(reading->kind) : std::nullopt;
  }
  std::optional<cli::SystemReading> readSettings(const std::filesystem::path& file) override {
    filesRead.push_back(file);
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
  bool readPresses(const std::function<bool(const cli::PressEvent&)>& onEvent) override {
    if (!canReadPresses) return false;
    for (const cli::PressEvent& event : presses) {
      if (!onEvent(event)) return true;
    }
    return true;
  }
};

}  // namespace testing_support

// What the checker asks of the machine it runs on, behind one small seam: the system's own
// profile reader (the one the plugin calls; system_reader.h), the console it runs in and the
// player's presses (press_input.h), and the player's answers. Tests give the checker a machine of
// their own, one that disagrees with the model, owns a console or hands over presses.
#pragma once

#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "cli/check/press_input.h"
#include "cli/check/system_reader.h"

namespace cli {

class Machine {
 public:
  virtual ~Machine() = default;

  // What thisSystemKind() and readBySystemReader() answer on this machine (system_reader.h).
  virtual std::optional<SystemKind> system() = 0;
  virtual std::optional<SystemReading> readSettings(const std::filesystem::path& file) = 0;

  // What ownsThisConsoleWindow() and readConsolePresses() answer on this machine (press_input.h).
  virtual bool ownsConsoleWindow() = 0;
  virtual bool readPresses(const std::function<bool(const PressEvent&)>& onEvent) = 0;

  // A line the player types, without its line end; nullopt at the end of input. The console
  // hands over what the player typed on every system alike, so one reading serves them all.
  virtual std::optional<std::string> readLine() {
    std::string line;
    for (int c = std::fgetc(stdin); c != '\n'; c = std::fgetc(stdin)) {
      if (c == EOF) return line.empty() ? std::nullopt : std::optional(line);
      if (c != '\r') line += static_cast<char>(c);
    }
    return line;
  }
};

// The machine this program runs on.
Machine& thisMachine();

}  // namespace cli

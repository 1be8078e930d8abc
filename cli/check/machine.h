// What the checker asks of the machine it runs on, behind one small seam: the system's own
// profile reader (the one the plugin calls), the console it runs in, and the player's answers
// and presses.
// Each platform answers in one file (machine.windows.cpp, machine.linux.cpp); tests give the
// checker a machine of their own, one that disagrees with the model or owns a console.
#pragma once

#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "toggle/settings_file.h"

namespace cli {

enum class SystemKind { windows, wine };

// What the system's own reader read from a settings file, and which system it was.
struct SystemReading {
  SystemKind kind = SystemKind::windows;
  std::string name;  // "Windows 11 (build 22631)", "Wine 8.0": for the player
  ToggleSettings settings = settings_file::kDefaults;
};

// A press or release of whatever the player aims with, as the console or the gamepad tells it.
struct PressEvent {
  enum class Kind {
    down,
    up,
    lost,  // input lost: a press of button (or of any, when empty) may end unseen
    skip,  // Enter or Esc: the player skips a step
  };
  Kind kind = Kind::skip;
  std::string button;  // "the right mouse button", "the Q key", "the left trigger"
  double atMs = 0;     // on a steady clock
};

class Machine {
 public:
  virtual ~Machine() = default;

  // Which system this is, where it has a reader of its own.
  virtual std::optional<SystemKind> system() = 0;

  // The three keys as the system's own reader reads them from this file, by its full path; nullopt
  // where the system has no such reader (Linux), and the project's model alone answers.
  virtual std::optional<SystemReading> readSettings(const std::filesystem::path& file) = 0;

  // Whether the program has its console window to itself, as when Windows opened one for a
  // double-click: the window then closes with the program, before the player can read it.
  virtual bool ownsConsoleWindow() = 0;

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

  // Hands each press and release to onEvent until it returns false or input ends, with the
  // console set to report them and set back afterwards, on every way out; input waiting before
  // the call is dropped. False where presses cannot be read: no console, or no such console on
  // this system.
  virtual bool readPresses(const std::function<bool(const PressEvent&)>& onEvent) = 0;
};

// The machine this program runs on.
Machine& thisMachine();

}  // namespace cli

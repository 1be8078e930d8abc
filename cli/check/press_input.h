// The player's presses of the aim button, as the console and the gamepad report them, and the
// console window itself. Each platform answers in its own file (press_input.windows.cpp,
// .linux.cpp).
#pragma once

#include <functional>
#include <string>

namespace cli {

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

// Whether the program has its console window to itself, as when Windows opened one for a
// double-click: the window then closes with the program, before the player can read it.
bool ownsThisConsoleWindow();

// Hands each press and release to onEvent until it returns false or input ends, with the
// console set to report them and set back afterwards, on every way out; input waiting before the
// call is dropped. False where presses cannot be read: no console, or no such console on this
// system.
bool readConsolePresses(const std::function<bool(const PressEvent&)>& onEvent);

}  // namespace cli

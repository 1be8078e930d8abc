// The player's presses on Windows, and so under Wine: the console's input records, the first
// gamepad's trigger, and the console window Windows opened for a double-click.
#include <windows.h>
// After windows.h, which it needs.
#include <xinput.h>

#include <chrono>
#include <optional>

#include "cli/check/press_input.h"
#include "common/console.h"
#include "common/windows_api.h"

namespace cli {
namespace {

// The console set to report mouse buttons while the object lives (QuickEdit off, or a click
// selects text instead), and set back exactly on every way out: the destructor, and Ctrl+C,
// Ctrl+Break or the window's close, which end the program from a thread of their own. QuickEdit
// changes only in a mode that carries ENABLE_EXTENDED_FLAGS, which a saved mode may lack.
HANDLE consoleToRestore = nullptr;
DWORD modeToRestore = 0;

BOOL WINAPI restoreOnControl(DWORD /*event*/) {
  SetConsoleMode(consoleToRestore, modeToRestore | ENABLE_EXTENDED_FLAGS);
  return FALSE;  // and on to the default handler, which ends the program
}

class PressConsole {
 public:
  PressConsole(HANDLE input, DWORD mode) {
    consoleToRestore = input;
    modeToRestore = mode;
    SetConsoleCtrlHandler(restoreOnControl, TRUE);
    // What was typed before the question is no answer to it.
    FlushConsoleInputBuffer(input);
    SetConsoleMode(input, (mode | ENABLE_MOUSE_INPUT | ENABLE_EXTENDED_FLAGS) &
                              ~static_cast<DWORD>(ENABLE_QUICK_EDIT_MODE));
  }
  ~PressConsole() {
    FlushConsoleInputBuffer(consoleToRestore);
    SetConsoleMode(consoleToRestore, modeToRestore | ENABLE_EXTENDED_FLAGS);
    SetConsoleCtrlHandler(restoreOnControl, FALSE);
  }
  PressConsole(const PressConsole&) = delete;
  PressConsole& operator=(const PressConsole&) = delete;
};

// Windows wakes a wait on its timer tick, about 15.6 ms, unless a program asks for finer: the
// gamepad, which is looked at between waits, is timed to the millisecond only while this lives.
// winmm ships with every Windows; loaded here, so that the checker imports nothing more.
class FineTimer {
 public:
  FineTimer() : library_(LoadLibraryExW(L"winmm.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    const auto begin = common::procedure<TimePeriodFunction>(library_, "timeBeginPeriod");
    raised_ = begin != nullptr && begin(1) == 0;  // TIMERR_NOERROR: only then is it ended
  }
  ~FineTimer() {
    const auto end = common::procedure<TimePeriodFunction>(library_, "timeEndPeriod");
    if (raised_ && end != nullptr) end(1);
    if (library_ != nullptr) FreeLibrary(library_);
  }
  FineTimer(const FineTimer&) = delete;
  FineTimer& operator=(const FineTimer&) = delete;

 private:
  using TimePeriodFunction = UINT(WINAPI*)(UINT);
  HMODULE library_;
  bool raised_ = false;
};

// The first gamepad, through whichever XInput a Windows has, loaded only now: the checker imports
// nothing that does not ship with every Windows. From the system's folder only: a game's folder
// often holds a mod loader of the same name. Null with no gamepad connected, which XInput is
// slow to say at every look.
using XInputGetStateFunction = decltype(&XInputGetState);

XInputGetStateFunction connectedGamepad() {
  for (const wchar_t* name : {L"xinput1_4.dll", L"xinput1_3.dll", L"xinput9_1_0.dll"}) {
    const HMODULE library = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (library == nullptr) continue;
    const auto getState = common::procedure<XInputGetStateFunction>(library, "XInputGetState");
    XINPUT_STATE state{};
    return getState != nullptr && getState(0, &state) == ERROR_SUCCESS ? getState : nullptr;
  }
  return nullptr;
}

double nowMs() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return std::chrono::duration<double, std::milli>(now).count();
}

// A key as a player names it: "the Q key", "the space bar", else by its code.
std::string keyName(WORD code) {
  if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9')) {
    return std::string("the ") + static_cast<char>(code) + " key";
  }
  return code == VK_SPACE ? "the space bar" : "key " + std::to_string(code);
}

// A console input record as a press, a release, a skip or lost input, if it is one.
std::optional<PressEvent> pressOf(const INPUT_RECORD& record, DWORD& mouseButtons, double at) {
  using Kind = PressEvent::Kind;
  switch (record.EventType) {
    case KEY_EVENT: {
      const KEY_EVENT_RECORD& key = record.Event.KeyEvent;
      if (key.wVirtualKeyCode == VK_ESCAPE || key.wVirtualKeyCode == VK_RETURN) {
        return key.bKeyDown ? std::optional(PressEvent{Kind::skip, "", at}) : std::nullopt;
      }
      return PressEvent{key.bKeyDown ? Kind::down : Kind::up, keyName(key.wVirtualKeyCode), at};
    }
    case MOUSE_EVENT: {
      const MOUSE_EVENT_RECORD& mouse = record.Event.MouseEvent;
      const bool was = (mouseButtons & RIGHTMOST_BUTTON_PRESSED) != 0;
      const bool is = (mouse.dwButtonState & RIGHTMOST_BUTTON_PRESSED) != 0;
      mouseButtons = mouse.dwButtonState;
      if (was == is) return std::nullopt;
      // A change first seen as the pointer moves happened outside the window, at a time unknown.
      const bool click = mouse.dwEventFlags == 0 || mouse.dwEventFlags == DOUBLE_CLICK;
      return PressEvent{!click ? Kind::lost
                        : is   ? Kind::down
                               : Kind::up,
                        "the right mouse button", at};
    }
    case FOCUS_EVENT:
      // Keys let go in another window never come up here.
      return record.Event.FocusEvent.bSetFocus ? std::nullopt
                                               : std::optional(PressEvent{Kind::lost, "", at});
    case MENU_EVENT:
      return PressEvent{Kind::lost, "", at};
    default:
      return std::nullopt;
  }
}

}  // namespace

bool ownsThisConsoleWindow() {
  // Only this process on the console: Windows made the window for it. From a command prompt,
  // a script or a test the shell shares it, or there is no console, or input is redirected.
  DWORD processes[2] = {};
  return GetConsoleProcessList(processes, 2) == 1 && common::isConsole(stdin) &&
         common::isConsole(stdout);
}

// Console input records, which the classic console and Windows Terminal (whose pseudo-console
// turns its mouse reports into the same records) both deliver with a release for every press;
// and the first gamepad's left trigger, looked at every millisecond between them.
bool readConsolePresses(const std::function<bool(const PressEvent&)>& onEvent) {
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  if (!GetConsoleMode(input, &mode)) return false;
  const PressConsole console(input, mode);
  const XInputGetStateFunction gamepad = connectedGamepad();
  std::optional<FineTimer> fineTimer;
  if (gamepad != nullptr) fineTimer.emplace();
  bool triggerDown = false;
  DWORD mouseButtons = 0;
  for (;;) {
    const DWORD waited = WaitForSingleObject(input, gamepad != nullptr ? 1 : INFINITE);
    XINPUT_STATE state{};
    const bool connected = gamepad != nullptr && gamepad(0, &state) == ERROR_SUCCESS;
    const bool trigger = connected && state.Gamepad.bLeftTrigger > XINPUT_GAMEPAD_TRIGGER_THRESHOLD;
    if (trigger != triggerDown) {
      triggerDown = trigger;
      // A gamepad gone while its trigger is down never says when it came up.
      const auto kind = trigger     ? PressEvent::Kind::down
                        : connected ? PressEvent::Kind::up
                                    : PressEvent::Kind::lost;
      if (!onEvent({kind, "the left trigger", nowMs()})) return true;
    }
    if (waited != WAIT_OBJECT_0) continue;
    // One record at a time, each timed as it is read: a press and its release read together
    // would measure nothing.
    INPUT_RECORD record{};
    DWORD count = 0;
    if (ReadConsoleInputW(input, &record, 1, &count) == 0) return true;
    const std::optional<PressEvent> event = pressOf(record, mouseButtons, nowMs());
    if (event && !onEvent(*event)) return true;
  }
}

}  // namespace cli

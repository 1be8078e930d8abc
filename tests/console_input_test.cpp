// KestovaCheck's console input, for real under Wine: presses injected into a console as input
// records arrive as presses with their lengths, the console reports mouse buttons only while
// they are read, and its mode is set back afterwards, after Ctrl+C too.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <thread>
#include <vector>

#include "cli/check/machine.h"

namespace {

using Kind = cli::PressEvent::Kind;

INPUT_RECORD key(WORD code, bool down) {
  INPUT_RECORD record{};
  record.EventType = KEY_EVENT;
  record.Event.KeyEvent.bKeyDown = down ? TRUE : FALSE;
  record.Event.KeyEvent.wRepeatCount = 1;
  record.Event.KeyEvent.wVirtualKeyCode = code;
  return record;
}

INPUT_RECORD rightButton(bool down) {
  INPUT_RECORD record{};
  record.EventType = MOUSE_EVENT;
  record.Event.MouseEvent.dwButtonState = down ? RIGHTMOST_BUTTON_PRESSED : 0;
  return record;
}

void inject(HANDLE input, const INPUT_RECORD& record) {
  DWORD written = 0;
  WriteConsoleInputW(input, &record, 1, &written);
}

// A console of the test's own, so that neither the input it injects nor its Ctrl+C reaches the
// console the suite was started from. Wine makes one only where it has a display: make test runs
// this test alone, under xvfb-run on a desktop of its own, with KESTOVA_CONSOLE_TEST set.
HANDLE ownConsoleInput() {
  FreeConsole();
  if (AllocConsole() == 0) return INVALID_HANDLE_VALUE;
  const HANDLE input =
      CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  DWORD mode = 0;
  if (input != INVALID_HANDLE_VALUE && GetConsoleMode(input, &mode)) return input;
  if (input != INVALID_HANDLE_VALUE) CloseHandle(input);
  return INVALID_HANDLE_VALUE;
}

// Ctrl+C would end the test program after the checker's handler has set the mode back.
BOOL WINAPI keepRunning(DWORD event) {
  return event == CTRL_C_EVENT ? TRUE : FALSE;
}

TEST(ConsoleInput, InjectedPressesArriveWithTheirLengthsAndTheModeIsSetBack) {
  if (std::getenv("KESTOVA_CONSOLE_TEST") == nullptr) {
    GTEST_SKIP() << "run alone, with KESTOVA_CONSOLE_TEST set: it makes a console of its own";
  }
  const HANDLE input = ownConsoleInput();
  ASSERT_NE(input, INVALID_HANDLE_VALUE) << "no console: under Wine, run with a display";
  const HANDLE standardInput = GetStdHandle(STD_INPUT_HANDLE);
  SetStdHandle(STD_INPUT_HANDLE, input);
  SetConsoleCtrlHandler(keepRunning, TRUE);
  DWORD before = 0;
  ASSERT_TRUE(GetConsoleMode(input, &before));

  // The player waits on what the reader has done, not on the clock: on a busy machine a reader
  // that has not yet read a press would time it late.
  std::atomic<size_t> seen = 0;
  const auto waitFor = [](const auto& done) {
    for (int ms = 0; ms < 5000 && !done(); ++ms) Sleep(1);
  };
  DWORD whileReading = 0;
  DWORD afterCtrlC = 0;
  std::thread player([&] {
    waitFor([&] { return GetConsoleMode(input, &whileReading) && whileReading != before; });
    inject(input, key('Q', true));
    waitFor([&] { return seen == 1; });
    Sleep(120);
    inject(input, key('Q', true));  // held: the key repeats
    inject(input, key('Q', false));
    inject(input, rightButton(true));
    waitFor([&] { return seen == 4; });
    Sleep(60);
    inject(input, rightButton(false));
    waitFor([&] { return seen == 5; });
    GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
    waitFor([&] { return GetConsoleMode(input, &afterCtrlC) && afterCtrlC == before; });
    inject(input, key(VK_ESCAPE, true));
  });
  std::vector<cli::PressEvent> events;
  const bool read = cli::thisMachine().readPresses([&events, &seen](const cli::PressEvent& event) {
    events.push_back(event);
    ++seen;
    return event.kind != Kind::stop;
  });
  player.join();
  DWORD after = 0;
  GetConsoleMode(input, &after);
  SetConsoleCtrlHandler(keepRunning, FALSE);
  SetStdHandle(STD_INPUT_HANDLE, standardInput);
  CloseHandle(input);
  FreeConsole();

  ASSERT_TRUE(read);
  EXPECT_EQ(whileReading & ENABLE_MOUSE_INPUT, static_cast<DWORD>(ENABLE_MOUSE_INPUT));
  EXPECT_EQ(whileReading & ENABLE_QUICK_EDIT_MODE, 0u);
  EXPECT_EQ(afterCtrlC, before) << "Ctrl+C sets the mode back before it ends the program";
  EXPECT_EQ(after, before);
  ASSERT_EQ(events.size(), 6u);
  const Kind kinds[] = {Kind::down, Kind::down, Kind::up, Kind::down, Kind::up, Kind::stop};
  for (size_t i = 0; i < events.size(); ++i) EXPECT_EQ(events[i].kind, kinds[i]) << i;
  EXPECT_EQ(events[0].button, "key 81");
  EXPECT_EQ(events[3].button, "the right mouse button");
  // Each release was injected after its press had been timed and the player had waited: the
  // lengths are those waits or longer, however busy the machine (less a clock tick of slack).
  EXPECT_GE(events[2].atMs - events[0].atMs, 100);
  EXPECT_GE(events[4].atMs - events[3].atMs, 40);
}

}  // namespace

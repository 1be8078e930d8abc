// KestovaCheck's console input, for real under Wine: presses injected into a console as input
// records arrive as presses with their lengths, the console reports mouse buttons only while
// they are read, and its mode is set back afterwards, after Ctrl+C too; and the checker's tap
// test, fed such records, measures no stray press, lost release or skip as a tap.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "cli/check/machine.h"
#include "cli/check/player_window.h"
#include "tests/support/bytes.h"
#include "tests/support/temp_folder.h"

namespace {

using Kind = cli::PressEvent::Kind;
using ::testing::HasSubstr;
using ::testing::Not;

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

// Each test with a console of its own as standard input, made and given back around it.
class ConsoleInput : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::getenv("KESTOVA_CONSOLE_TEST") == nullptr) {
      GTEST_SKIP() << "run alone, with KESTOVA_CONSOLE_TEST set: it makes a console of its own";
    }
    input = ownConsoleInput();
    ASSERT_NE(input, INVALID_HANDLE_VALUE) << "no console: under Wine, run with a display";
    standardInput_ = GetStdHandle(STD_INPUT_HANDLE);
    SetStdHandle(STD_INPUT_HANDLE, input);
  }
  void TearDown() override {
    if (input == INVALID_HANDLE_VALUE) return;
    SetStdHandle(STD_INPUT_HANDLE, standardInput_);
    CloseHandle(input);
    FreeConsole();
  }

  HANDLE input = INVALID_HANDLE_VALUE;

 private:
  HANDLE standardInput_ = nullptr;
};

TEST_F(ConsoleInput, InjectedPressesArriveWithTheirLengthsAndTheModeIsSetBack) {
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
    return event.kind != Kind::skip;
  });
  player.join();
  DWORD after = 0;
  GetConsoleMode(input, &after);
  SetConsoleCtrlHandler(keepRunning, FALSE);

  ASSERT_TRUE(read);
  EXPECT_EQ(whileReading & ENABLE_MOUSE_INPUT, static_cast<DWORD>(ENABLE_MOUSE_INPUT));
  EXPECT_EQ(whileReading & ENABLE_QUICK_EDIT_MODE, 0u);
  // Set back with ENABLE_EXTENDED_FLAGS, so that QuickEdit comes back as it was.
  const auto settled = [](DWORD mode) { return mode | ENABLE_EXTENDED_FLAGS; };
  EXPECT_EQ(settled(afterCtrlC), settled(before))
      << "Ctrl+C sets the mode back before it ends the program";
  EXPECT_EQ(settled(after), settled(before));
  ASSERT_EQ(events.size(), 6u);
  const Kind kinds[] = {Kind::down, Kind::down, Kind::up, Kind::down, Kind::up, Kind::skip};
  for (size_t i = 0; i < events.size(); ++i) EXPECT_EQ(events[i].kind, kinds[i]) << i;
  EXPECT_EQ(events[0].button, "the Q key");
  EXPECT_EQ(events[3].button, "the right mouse button");
  // Each release was injected after its press had been timed and the player had waited: the
  // lengths are those waits or longer, however busy the machine (less a clock tick of slack).
  EXPECT_GE(events[2].atMs - events[0].atMs, 100);
  EXPECT_GE(events[4].atMs - events[3].atMs, 40);
}

// The checker's own machine, counting the presses it hands over, so that the player below waits
// on what the reader has done rather than on the clock; its answer to any question is no.
class CountingMachine : public cli::Machine {
 public:
  std::atomic<size_t> events = 0;

  std::optional<cli::SystemKind> system() override { return cli::thisMachine().system(); }
  std::optional<cli::SystemReading> readSettings(const std::filesystem::path& file) override {
    return cli::thisMachine().readSettings(file);
  }
  bool ownsConsoleWindow() override { return false; }
  std::optional<std::string> readLine() override { return "n"; }
  bool readPresses(const std::function<bool(const cli::PressEvent&)>& onEvent) override {
    return cli::thisMachine().readPresses([&](const cli::PressEvent& event) {
      const bool more = onEvent(event);
      ++events;
      return more;
    });
  }
};

INPUT_RECORD focus(bool gained) {
  INPUT_RECORD record{};
  record.EventType = FOCUS_EVENT;
  record.Event.FocusEvent.bSetFocus = gained ? TRUE : FALSE;
  return record;
}

// The player at the console: each record injected, and, for those the checker hears of, the
// reader waited for before the next.
class Player {
 public:
  Player(HANDLE input, CountingMachine& machine) : input_(input), machine_(machine) {}
  void send(const INPUT_RECORD& record, bool heard = true) {
    inject(input_, record);
    if (!heard) return;
    ++heard_;
    for (int ms = 0; ms < 5000 && machine_.events < heard_; ++ms) Sleep(1);
  }
  void press(WORD code, DWORD ms) {
    send(key(code, true));
    Sleep(ms);
    send(key(code, false));
    Sleep(100);
  }
  // Enter or Esc: the checker hears the key go down; its release is nobody's.
  void skip(WORD code) {
    send(key(code, true));
    send(key(code, false), false);
  }
  void taps(int count) {
    for (int i = 0; i < count; ++i) press(VK_SPACE, 100);
  }

 private:
  HANDLE input_;
  CountingMachine& machine_;
  size_t heard_ = 0;
};

// KestovaCheck --taps on a settings file, in the test's console, the player's part played
// alongside from the moment the checker reads presses; what it printed.
std::string tapTest(HANDLE input, const std::function<void(Player&)>& play) {
  const common::TempFolder folder = testing_support::tempFolder();
  const std::string file = testing_support::writeFile(
      folder, "Kestova.ini", "[Settings]\r\nShortPress=50\r\nLongPress=100\r\n");
  CountingMachine machine;
  DWORD idle = 0;
  GetConsoleMode(input, &idle);
  std::thread player([&] {
    DWORD mode = idle;
    for (int ms = 0; ms < 10000 && (!GetConsoleMode(input, &mode) || mode == idle); ++ms) Sleep(1);
    Player at(input, machine);
    play(at);
    // A checker that has not stopped by now is stopped, so that a fault fails the test rather
    // than hangs it: Esc skips whatever step it is in.
    inject(input, key(VK_ESCAPE, true));
    inject(input, key(VK_ESCAPE, true));
  });
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  (void)cli::runChecker({"KestovaCheck", "--taps", file}, machine, out, err);
  player.join();
  const std::string text = testing_support::drained(out);
  std::fclose(err);
  return text;
}

// The lengths of the presses said as taps ("  tap 3: 104 ms, ...").
std::vector<int> tapsSaid(const std::string& text) {
  std::vector<int> lengths;
  const std::regex tap("\n  tap [0-9]+: ([0-9]+) ms");
  for (std::sregex_iterator it(text.begin(), text.end(), tap), end; it != end; ++it) {
    lengths.push_back(std::stoi((*it)[1]));
  }
  return lengths;
}

TEST_F(ConsoleInput, NoStrayPressLostReleaseOrSkipIsEverMeasuredAsATap) {
  const auto allTaps = [](const std::string& text) {
    const std::vector<int> taps = tapsSaid(text);
    return taps.size() == 5 &&
           std::all_of(taps.begin(), taps.end(), [](int ms) { return ms < 1000; });
  };

  // 'A' down, then the window loses its focus and gets it back: 'A' is cut off, and said.
  const std::string cutOff = tapTest(input, [](Player& player) {
    player.send(key('A', true));
    player.send(focus(false));
    player.send(focus(true), false);
    player.taps(5);
    for (int i = 0; i < 3; ++i) player.press(VK_SPACE, 400);
  });
  EXPECT_THAT(cutOff, HasSubstr("  the A key was cut off: this window lost its input")) << cutOff;
  EXPECT_TRUE(allTaps(cutOff)) << cutOff;
  EXPECT_THAT(cutOff, HasSubstr("\n  hold 3: ")) << cutOff;

  // The same, with 'A' let go after the taps: its release seconds later is no tap.
  const std::string releasedLater = tapTest(input, [](Player& player) {
    player.send(key('A', true));
    player.send(focus(false));
    player.send(focus(true), false);
    player.taps(5);
    Sleep(1200);
    player.send(key('A', false));
    player.skip(VK_ESCAPE);
  });
  EXPECT_TRUE(allTaps(releasedLater)) << releasedLater;
  EXPECT_THAT(releasedLater, Not(HasSubstr("that was a hold"))) << releasedLater;

  // A press of 2.5 s among the taps is shown, said and not counted; Esc at the holds, and the
  // suggestion says that no holds were measured.
  const std::string longOne = tapTest(input, [](Player& player) {
    player.taps(2);
    player.press(VK_SPACE, 2500);
    player.taps(3);
    player.skip(VK_ESCAPE);
  });
  EXPECT_THAT(longOne, HasSubstr(" ms: that was a hold, not a tap: tap again.")) << longOne;
  EXPECT_TRUE(allTaps(longOne)) << longOne;
  EXPECT_THAT(longOne, HasSubstr("no holds were measured, so any press shorter than")) << longOne;

  // A press typed before the question is dropped, and Enter at it skips the test: neither is
  // measured.
  inject(input, key(VK_SPACE, true));
  inject(input, key(VK_SPACE, false));
  const std::string entered = tapTest(input, [](Player& player) { player.skip(VK_RETURN); });
  EXPECT_THAT(entered, HasSubstr("The tap test was skipped.")) << entered;
  EXPECT_TRUE(tapsSaid(entered).empty()) << entered;
}

}  // namespace

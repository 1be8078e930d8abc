// KestovaCheck measuring the player's presses, on a machine of the test's own: each press as a
// bar against the window as it comes, the advice, and a write only on a yes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/check/checker.h"
#include "tests/support/fake_machine.h"
#include "tests/support/temp_folder.h"

namespace {

using cli::PressEvent;
using ::testing::HasSubstr;
using ::testing::Not;

const char kFile[] = "[Settings]\r\nShortPress=50\r\nLongPress=100\r\n";

// Presses of these lengths, one after another, each of the button named.
std::vector<PressEvent> pressesOf(const std::vector<int>& lengths, const std::string& button) {
  std::vector<PressEvent> events;
  double at = 1000;
  for (const int length : lengths) {
    events.push_back({PressEvent::Kind::down, button, at});
    events.push_back({PressEvent::Kind::up, button, at + length});
    at += length + 500;
  }
  return events;
}

std::string checkerOutput(testing_support::FakeMachine& machine, const std::string& path) {
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  (void)cli::runChecker({"KestovaCheck", path}, machine, out, err);
  std::string text;
  std::rewind(out);
  for (int c = std::fgetc(out); c != EOF; c = std::fgetc(out)) text += static_cast<char>(c);
  std::fclose(out);
  std::fclose(err);
  return text;
}

TEST(TapSession, EachPressIsABarAgainstTheWindowAndAYesWritesTheSuggestion) {
  const common::TempFolder folder = testing_support::tempFolder();
  const std::string file = testing_support::writeFile(folder, "Kestova.ini", kFile);
  testing_support::FakeMachine machine;
  machine.ownsConsole = true;
  machine.presses = pressesOf({120, 130, 125, 140, 135}, "the right mouse button");
  // A key held down repeats its down; a release of another button ends no press.
  machine.presses.insert(machine.presses.begin() + 1,
                         {{PressEvent::Kind::down, "the right mouse button", 1010},
                          {PressEvent::Kind::up, "key 81", 1050}});
  for (const PressEvent& hold : pressesOf({400, 450, 500}, "key 81")) {
    machine.presses.push_back(hold);
  }
  machine.answers = {"y", ""};
  const std::string out = checkerOutput(machine, file);
  EXPECT_THAT(out, HasSubstr("  window    |......========..........................|  50 to 99 "
                             "ms is a tap\n"));
  EXPECT_THAT(out, HasSubstr("  tap 1     |#################                       |  120 ms, "
                             "too long for a tap\n"));
  EXPECT_THAT(out, HasSubstr("  hold 1    |#######################################>|  400 ms"));
  EXPECT_THAT(out, HasSubstr("  hold 3    |"));
  EXPECT_THAT(out, HasSubstr("taps: 0 of your 5 taps count with ShortPress 50"));
  EXPECT_THAT(out, HasSubstr("holds: none of your 3 holds count as a tap, as it should."));
  EXPECT_THAT(out, HasSubstr("? Type y and press Enter to write them; anything else writes "
                             "nothing: Wrote ShortPress="));
  EXPECT_THAT(out, HasSubstr("read back (this checker's model): the plugin will now read"));
  EXPECT_NE(testing_support::readFile(file), kFile);
  EXPECT_EQ(testing_support::readFile(file + ".bak"), kFile);
}

TEST(TapSession, AnythingButYesWritesNothingAndEscSkipsToTheNextStep) {
  const common::TempFolder folder = testing_support::tempFolder();
  const std::string file = testing_support::writeFile(folder, "Kestova.ini", kFile);
  testing_support::FakeMachine machine;
  machine.ownsConsole = true;
  machine.presses = pressesOf({150, 160}, "the left trigger");
  machine.presses.push_back({});  // Esc: no more taps
  machine.answers = {"yes please", ""};
  const std::string out = checkerOutput(machine, file);
  EXPECT_THAT(out, HasSubstr("Now hold it 3 times"));
  EXPECT_THAT(out, HasSubstr("taps: 0 of your 2 taps count"));
  EXPECT_THAT(out, Not(HasSubstr("holds:")));
  EXPECT_THAT(out, HasSubstr("Nothing was written."));
  EXPECT_EQ(testing_support::readFile(file), kFile);

  // A UTF-8 byte-order mark, which Windows misreads, goes only on a second yes.
  const std::string marked =
      testing_support::writeFile(folder, "marked/Kestova.ini", std::string("\xEF\xBB\xBF") + kFile);
  testing_support::FakeMachine fix;
  fix.ownsConsole = true;
  fix.presses = pressesOf({150, 160}, "key 81");
  fix.answers = {"y", "y", ""};
  EXPECT_THAT(checkerOutput(fix, marked), HasSubstr("Remove it as part of the write?"));
  EXPECT_EQ(testing_support::readFile(marked).substr(0, 10), "[Settings]");

  // Esc before any tap, or a console that reports no presses: no advice at all.
  testing_support::FakeMachine skipped;
  skipped.ownsConsole = true;
  const std::string skippedOut = checkerOutput(skipped, file);
  EXPECT_THAT(skippedOut, HasSubstr("Tap the aim button"));
  EXPECT_THAT(skippedOut, Not(HasSubstr("taps:")));
  testing_support::FakeMachine deaf;
  deaf.canReadPresses = false;
  deaf.ownsConsole = true;
  EXPECT_THAT(checkerOutput(deaf, file), HasSubstr("This window cannot report presses"));
}

}  // namespace

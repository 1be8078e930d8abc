// KestovaCheck measuring the player's presses, on a machine of the test's own: one press at a
// time, so that no stray press, lost release or skip is ever measured as a tap; each press said
// as it comes and drawn to scale at the end; the advice, and a write only on a yes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/check/player_window.h"
#include "cli/check/press_session.h"
#include "tests/support/bytes.h"
#include "tests/support/fake_machine.h"
#include "tests/support/temp_folder.h"

namespace {

using cli::PressEvent;
using Kind = PressEvent::Kind;
using ::testing::HasSubstr;
using ::testing::Not;

const char kFile[] = "[Settings]\r\nShortPress=50\r\nLongPress=100\r\n";

// Presses of these lengths, one after another, each of the button named.
std::vector<PressEvent> pressesOf(const std::vector<int>& lengths, const std::string& button,
                                  double at = 1000) {
  std::vector<PressEvent> events;
  for (const int length : lengths) {
    events.push_back({Kind::down, button, at});
    events.push_back({Kind::up, button, at + length});
    at += length + 500;
  }
  return events;
}

std::string checkerOutput(testing_support::FakeMachine& machine, const std::string& path) {
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  (void)cli::runChecker({"KestovaCheck", path}, machine, out, err);
  const std::string text = testing_support::drained(out);
  std::fclose(err);
  return text;
}

// The session alone: what it measured, and what it said.
struct Session {
  std::optional<cli::Presses> presses;
  std::string said;
};

Session measure(const std::vector<PressEvent>& events) {
  testing_support::FakeMachine machine;
  machine.presses = events;
  std::FILE* out = std::tmpfile();
  Session session{cli::measurePresses(machine, settings_file::kDefaults, false, out), ""};
  session.said = testing_support::drained(out);
  return session;
}

TEST(TapSession, OnlyTheOpenPressesOwnReleaseClosesItAndLostInputDropsIt) {
  // 'A' held while the window loses its focus: its press is dropped, and said; its release,
  // whenever it comes, closes nothing. Presses of other buttons while one is open open nothing.
  std::vector<PressEvent> events = {{Kind::down, "the A key", 0},
                                    {Kind::down, "the right mouse button", 10},
                                    {Kind::up, "the right mouse button", 40},
                                    {Kind::lost, "", 100}};
  for (const PressEvent& tap : pressesOf({80, 90, 85, 95, 88}, "the space bar")) {
    events.push_back(tap);
  }
  events.push_back({Kind::up, "the A key", 25296});
  for (const PressEvent& hold : pressesOf({300, 500, 400}, "the space bar", 30000)) {
    events.push_back(hold);
  }
  const Session session = measure(events);
  ASSERT_TRUE(session.presses) << session.said;
  EXPECT_EQ(session.presses->taps, (std::vector<int>{80, 90, 85, 95, 88}));
  EXPECT_EQ(session.presses->holds, (std::vector<int>{300, 500, 400}));
  EXPECT_THAT(session.said, HasSubstr("  the A key was cut off: this window lost its input"));
  // The bars are drawn to the longest press: 300 and 500 ms look different, taps shorter still.
  EXPECT_THAT(session.said, HasSubstr("  window  |    ====                                |  50 "
                                      "to 99 ms is a tap\n  tap 1   |######        "));
  EXPECT_THAT(session.said, HasSubstr("  hold 1  |########################                |"));
  EXPECT_THAT(session.said, HasSubstr("  hold 2  |########################################|"));
}

TEST(TapSession, ATapOfASecondOrMoreIsShownAndAskedForAgain) {
  std::vector<PressEvent> events = pressesOf({80, 2500, 90}, "the space bar");
  events.push_back({Kind::skip, "", 9000});  // Enter: on to the holds, with two taps
  events.push_back({Kind::down, "the space bar", 9100});
  events.push_back({Kind::skip, "", 9200});  // Esc while a press is open: it is never measured
  events.push_back({Kind::up, "the space bar", 9300});
  const Session session = measure(events);
  ASSERT_TRUE(session.presses);
  EXPECT_EQ(session.presses->taps, (std::vector<int>{80, 90}));
  EXPECT_TRUE(session.presses->holds.empty());
  EXPECT_THAT(session.said, HasSubstr("  2500 ms: that was a hold, not a tap: tap again.\n"
                                      "  tap 2: 90 ms, a tap: it toggles aim.\n"));
  EXPECT_THAT(session.said, HasSubstr("Enter or Esc skips this step.\n"));
  EXPECT_THAT(session.said, HasSubstr("Enter or Esc skips this step."));

  // Skipped before any tap: said, and no advice comes of it.
  const Session skipped = measure({{Kind::skip, "", 0}, {Kind::down, "the space bar", 10}});
  EXPECT_FALSE(skipped.presses);
  EXPECT_THAT(skipped.said, HasSubstr("The tap test was skipped.\n"));
}

TEST(TapSession, TheAdviceFollowsAndAYesWritesTheSuggestion) {
  const common::TempFolder folder = testing_support::tempFolder();
  const std::string file = testing_support::writeFile(folder, "Kestova.ini", kFile);
  testing_support::FakeMachine machine;
  machine.ownsConsole = true;
  machine.presses = pressesOf({120, 130, 125, 140, 135}, "the right mouse button");
  for (const PressEvent& hold : pressesOf({400, 450, 500}, "the Q key", 5000)) {
    machine.presses.push_back(hold);
  }
  machine.answers = {"y", ""};
  const std::string out = checkerOutput(machine, file);
  EXPECT_THAT(out, HasSubstr("  tap 1: 120 ms, too long for a tap.\n"));
  EXPECT_THAT(out, HasSubstr("taps: none of your 5 taps counts with ShortPress 50"));
  EXPECT_THAT(out, HasSubstr("holds: none of your 3 holds counts as a tap, as it should be."));
  EXPECT_THAT(out, HasSubstr("? Type y and press Enter to write; anything else writes "
                             "nothing: Wrote ShortPress="));
  EXPECT_THAT(out, HasSubstr("read back (this checker's model): the plugin will now read"));
  EXPECT_NE(testing_support::readFile(file), kFile);
  EXPECT_EQ(testing_support::readFile(file + ".bak"), kFile);
}

TEST(TapSession, AnythingButYesWritesNothingAndAByteOrderMarkGoesOnlyWithTheWrite) {
  const common::TempFolder folder = testing_support::tempFolder();
  const std::string file = testing_support::writeFile(folder, "Kestova.ini", kFile);
  testing_support::FakeMachine machine;
  machine.ownsConsole = true;
  machine.presses = pressesOf({150, 160}, "the left trigger");
  machine.answers = {"yes please", ""};
  const std::string out = checkerOutput(machine, file);
  EXPECT_THAT(out, HasSubstr("taps: none of your 2 taps counts"));
  EXPECT_THAT(out, Not(HasSubstr("holds:")));
  EXPECT_THAT(out, HasSubstr("no holds were measured, so any press shorter than"));
  EXPECT_THAT(out, HasSubstr("Nothing was written."));
  EXPECT_EQ(testing_support::readFile(file), kFile);

  // A UTF-8 byte-order mark, which Windows misreads: the question says it goes with the write.
  const std::string marked =
      testing_support::writeFile(folder, "marked/Kestova.ini", std::string("\xEF\xBB\xBF") + kFile);
  testing_support::FakeMachine fix;
  fix.ownsConsole = true;
  fix.presses = pressesOf({150, 160}, "the Q key");
  fix.answers = {"y", ""};
  EXPECT_THAT(checkerOutput(fix, marked),
              HasSubstr("and remove the UTF-8 byte-order mark it starts with, which Windows "
                        "misreads? Type y"));
  EXPECT_EQ(testing_support::readFile(marked).substr(0, 10), "[Settings]");

  // A console that reports no presses: no advice at all.
  testing_support::FakeMachine deaf;
  deaf.canReadPresses = false;
  deaf.ownsConsole = true;
  EXPECT_THAT(checkerOutput(deaf, file), HasSubstr("This window cannot report presses"));
}

}  // namespace

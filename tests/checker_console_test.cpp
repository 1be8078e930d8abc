// KestovaCheck's console: it waits for Enter only in a window of its own, and the wait ends at
// Enter or at the end of input. The decision runs on a machine of the test's own; the line
// reader is this machine's, natively and under Wine.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "cli/check/player_window.h"
#include "tests/support/bytes.h"
#include "tests/support/fake_machine.h"
#include "tests/support/temp_folder.h"

namespace {

using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::Not;

struct Checked {
  common::ExitStatus status;
  std::string out;
};

// The checker on a file of its own, its output caught.
Checked runChecker(testing_support::FakeMachine& machine, const std::string& path) {
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  const common::ExitStatus status = cli::runChecker({"KestovaCheck", path}, machine, out, err);
  const std::string text = testing_support::drained(out);
  std::fclose(err);
  return {status, text};
}

TEST(CheckerConsole, ItWaitsForEnterOnlyInAWindowOfItsOwn) {
  const common::TempFolder folder = testing_support::tempFolder();
  const std::string file =
      testing_support::writeFile(folder, "Kestova.ini", "[Settings]\nShortPress=40\n");
  testing_support::FakeMachine shared;
  const Checked fromShell = runChecker(shared, file);
  EXPECT_EQ(fromShell.status, common::ExitStatus::success) << fromShell.out;
  EXPECT_THAT(fromShell.out, Not(HasSubstr("Press Enter")));
  EXPECT_EQ(shared.linesRead, 0u);

  testing_support::FakeMachine own;
  own.ownsConsole = true;
  own.answers = {""};
  const Checked doubleClicked = runChecker(own, file);
  EXPECT_EQ(doubleClicked.status, common::ExitStatus::success);
  EXPECT_THAT(doubleClicked.out, HasSubstr("no problems found.\n\nDoes your tap count?"));
  EXPECT_THAT(doubleClicked.out, EndsWith("\n\nPress Enter to close this window.\n"));
  EXPECT_EQ(own.linesRead, 1u) << "one Enter ends the wait";

  // A mistake on the command line is said, and waited on too: a window would close on it.
  testing_support::FakeMachine mistaken;
  mistaken.ownsConsole = true;
  const Checked bad = runChecker(mistaken, "--fix");
  EXPECT_EQ(bad.status, common::ExitStatus::badInput);
  EXPECT_EQ(mistaken.linesRead, 1u) << "the end of input ends the wait";
}

TEST(CheckerConsole, ThisMachinesLineReaderStopsAtEachLineEndAndAtTheEndOfInput) {
  const common::TempFolder folder = testing_support::tempFolder();
  const std::string input = testing_support::writeFile(folder, "input.txt", "yes\r\n\nno");
  ASSERT_NE(std::freopen(input.c_str(), "rb", stdin), nullptr);
  cli::Machine& machine = cli::thisMachine();
  EXPECT_EQ(machine.readLine(), std::optional<std::string>("yes"));
  EXPECT_EQ(machine.readLine(), std::optional<std::string>(""));
  EXPECT_EQ(machine.readLine(), std::optional<std::string>("no"));
  EXPECT_EQ(machine.readLine(), std::nullopt);
}

}  // namespace

// What the player reads in KestovaCheck's window: the answer first and again last, whatever the
// status; counts in plain words for none, one and many; a long folder with its end in view; and
// every output fitting 80 and 120 columns with no word broken.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "cli/check/game_folder_check.h"
#include "cli/check/player_window.h"
#include "cli/check/report_text.h"
#include "cli/check/settings_explainer.h"
#include "common/text_layout.h"
#include "tests/support/bytes.h"
#include "tests/support/fake_machine.h"
#include "tests/support/pe_image.h"
#include "tests/support/process.h"

namespace {

using cli::PressEvent;
using ::testing::HasSubstr;
using testing_support::lines;
using testing_support::writeFile;

struct Shown {
  common::ExitStatus status;
  std::vector<std::string> lines;  // what the window shows, both streams in one
};

// KestovaCheck double-clicked, its window shown; a tap session of five taps and three holds.
Shown doubleClicked(const std::string& path) {
  testing_support::FakeMachine machine;
  machine.ownsConsole = true;
  double at = 1000;
  for (const int length : {80, 95, 120, 90, 85, 300, 500, 400}) {
    machine.presses.push_back({PressEvent::Kind::down, "the space bar", at});
    machine.presses.push_back({PressEvent::Kind::up, "the space bar", at + length});
    at += length + 400;
  }
  machine.answers = {"n", ""};
  std::FILE* window = std::tmpfile();
  const common::ExitStatus status =
      cli::runChecker({"KestovaCheck", path}, machine, window, window);
  const std::string text = testing_support::drained(window);
  return {status, lines(text)};
}

// The last line with words before "Press Enter".
std::string beforePressEnter(const std::vector<std::string>& shown) {
  for (size_t i = shown.size(); i-- > 1;) {
    if (shown[i].starts_with("Press Enter")) {
      for (size_t j = i; j-- > 0;) {
        if (!shown[j].empty()) return shown[j];
      }
    }
  }
  return "";
}

// A game folder as the zip leaves it, beside the host.
std::string installedGame(const common::TempFolder& folder, const std::string& name,
                          const std::string& settings) {
  writeFile(folder, name + "/Kestova.dll", testing_support::peBytes({}));
  writeFile(folder, name + "/ScriptHookVask.dll", testing_support::peBytes({}));
  writeFile(folder, name + "/Kestova.ini", settings);
  return (folder.path() / name).string();
}

const char kSettings[] = "[Settings]\r\nShortPress=50\r\nLongPress=100\r\n";

TEST(CheckerReport, TheVerdictComesFirstAndIsTheLastThingBeforePressEnter) {
  const common::TempFolder folder = testing_support::tempFolder();
  const Shown clean = doubleClicked(installedGame(folder, "Clean", kSettings));
  EXPECT_EQ(clean.status, common::ExitStatus::success);
  const std::string ready = "Kestova is ready: tap the aim control in the game to toggle aiming.";
  EXPECT_EQ(clean.lines[1], ready);
  EXPECT_EQ(beforePressEnter(clean.lines), ready);

  const Shown warned = doubleClicked(installedGame(folder, "Warned", "[Settings]\nLongPres=200\n"));
  EXPECT_EQ(warned.status, common::ExitStatus::warnings);
  const std::string mayNot =
      "Kestova will load here, but 1 warning says where it may not do what you meant.";
  EXPECT_EQ(warned.lines[1], mayNot);
  EXPECT_EQ(beforePressEnter(warned.lines), mayNot);

  // A settings file dropped on it that cannot be read: the error is all there is to say.
  const std::string pipe = (folder.path() / "pipe.ini").string();
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  const Shown unreadable = doubleClicked(pipe);
  EXPECT_EQ(unreadable.status, common::ExitStatus::unreadable);
  const std::string cannot = pipe + ": is not a regular file";
  EXPECT_THAT(unreadable.lines.front(), testing::StartsWith(cannot));
  EXPECT_THAT(beforePressEnter(unreadable.lines), testing::StartsWith(cannot));
}

TEST(CheckerReport, CountsOfWarningsAndProblemsReadRightForNoneOneAndMany) {
  const auto verdictOf = [](const std::string& bytes) {
    cli::CheckReport report = cli::checkSettings(bytes);
    report.subject = "Kestova.ini";
    report.whenWarned = "the plugin may not do what this file seems to say.";
    return cli::verdict(report);
  };
  EXPECT_EQ(verdictOf(kSettings), "Kestova.ini: no problems found.");
  EXPECT_EQ(verdictOf("[Settings]\nLongPres=200\n"),
            "Kestova.ini: 1 warning: the plugin may not do what this file seems to say.");
  EXPECT_EQ(verdictOf("[Settings]\nLongPres=200\nShortPres=2\n"),
            "Kestova.ini: 2 warnings: the plugin may not do what this file seems to say.");

  const common::TempFolder folder = testing_support::tempFolder();
  testing_support::FakeMachine machine;
  const auto folderVerdict = [&machine](const std::string& path) {
    return cli::verdict(*cli::checkPath(path, machine));
  };
  writeFile(folder, "One/Kestova.dll", testing_support::peBytes({}));
  writeFile(folder, "One/Kestova.ini", kSettings);
  EXPECT_EQ(folderVerdict((folder.path() / "One").string()),
            "1 problem stops Kestova from working here: do what it says, then start the game.");
  writeFile(folder, "Two/Kestova.ini", "[Settings]\nShortPres=40\nLongPres=30\n");
  EXPECT_EQ(folderVerdict((folder.path() / "Two").string()),
            "2 problems stop Kestova from working here, and 2 warnings more: do what each says, "
            "then start the game.");
  const std::string many = installedGame(folder, "Many", "[Settings]\nShortPres=40\nLongPres=3\n");
  EXPECT_EQ(folderVerdict(many),
            "Kestova will load here, but 2 warnings say where it may not do what you meant.");
}

TEST(CheckerReport, ALongFolderKeepsItsLastFolderInView) {
  const common::TempFolder folder = testing_support::tempFolder();
  std::string name;
  while (name.size() + folder.path().string().size() < 240) name += "verylongfoldername/";
  name += "The Game";
  const Shown shown = doubleClicked(installedGame(folder, name, kSettings));
  EXPECT_THAT(shown.lines.front(), HasSubstr("..."));
  EXPECT_THAT(shown.lines.front(), HasSubstr("/The Game, checked as the plugin finds it"));
}

TEST(CheckerReport, EveryOutputFits80And120ColumnsWithNoWordBroken) {
  const common::TempFolder folder = testing_support::tempFolder();
  const std::string clean = installedGame(folder, "Game", kSettings);
  const std::string deep = installedGame(folder, "Deep/Kestova-1.1.0", kSettings);
  writeFile(folder, "Deep/Game.exe", "game");
  std::rename((deep + "/ScriptHookVask.dll").c_str(),
              (folder.path() / "Deep/ScriptHookVask.dll").c_str());
  for (const std::string& path : {clean, deep}) {
    std::string text;
    for (const std::string& line : doubleClicked(path).lines) text += line + "\n";
    for (const size_t width : {79u, 119u}) {
      SCOPED_TRACE(path + " at " + std::to_string(width + 1) + " columns");
      const std::string wrapped = common::wrapText(text, width);
      std::vector<std::string> words;
      for (const std::string& row : lines(wrapped)) {
        ASSERT_LE(row.size(), width) << row;
        std::istringstream split(row);
        for (std::string word; split >> word;) words.push_back(word);
      }
      std::istringstream whole(text);
      std::vector<std::string> original;
      for (std::string word; whole >> word;) original.push_back(word);
      EXPECT_EQ(words, original);
    }
  }
}

}  // namespace

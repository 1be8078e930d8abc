// Where the player really put the files: one folder too deep, a settings file in a folder below,
// a folder in a file's place. The check says where, gives the fix, and goes on to its summary.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cli/check/game_folder_check.h"
#include "cli/check/report_text.h"
#include "tests/support/fake_machine.h"
#include "tests/support/pe_image.h"
#include "tests/support/process.h"

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;
using testing_support::writeFile;

// A game's folder with the host and the game's program, in a fresh temporary folder.
struct Game {
  common::TempFolder folder = testing_support::tempFolder();
  std::string path = (folder.path() / "Game").string();
  Game() {
    writeFile(folder, "Game/ScriptHookVask.dll", testing_support::peBytes({}));
    writeFile(folder, "Game/Game.exe", "game");
  }
  std::string write(const std::string& name, const std::string& bytes = "[Settings]\n") const {
    return writeFile(folder, "Game/" + name, bytes);
  }
};

std::string check(const std::string& path) {
  testing_support::FakeMachine machine;
  const common::Result<cli::CheckReport> report = cli::checkPath(path, machine);
  if (!report) return "error: " + report.error().message;
  return cli::reportText(*report) + "warnings: " + std::to_string(report->warnings()) + "\n";
}

TEST(CheckPlaces, TheZipUnpackedIntoAFolderOfItsOwnIsOneFolderTooDeep) {
  const Game game;
  for (const char* name : {"Kestova.dll", "Kestova.ini", "KestovaCheck.exe"}) {
    game.write(std::string("Kestova-1.1.0/") + name, testing_support::peBytes({}));
  }
  const std::string out = check(game.path + "/Kestova-1.1.0");
  EXPECT_THAT(out, HasSubstr("\nMove Kestova.dll and Kestova.ini from here up into " + game.path +
                             ", beside the host, and run the check there. ScriptHookVask.dll is "
                             "not in this folder but in the folder above, " +
                             game.path + ", the game's folder: this folder is one too deep.\n"))
      << out;
  EXPECT_THAT(out, Not(HasSubstr("install the host")));
}

TEST(CheckPlaces, AFileInAFolderBelowIsNamedWithTheFix) {
  const Game game;
  game.write("scripts/Kestova.ini");
  game.write("mod/Kestova.dll");
  const std::string out = check(game.path);
  EXPECT_THAT(out,
              HasSubstr("\nMove Kestova.ini up from " + game.path + "/scripts into " + game.path +
                        ": it is one folder too deep. There is no Kestova.ini in " + game.path +
                        ", so the plugin uses its defaults; it reads Kestova.ini from the "
                        "game's folder.\n"))
      << out;
  EXPECT_THAT(out, HasSubstr("\nMove Kestova.dll up from " + game.path + "/mod into " + game.path +
                             ": it is one folder too deep. Kestova.dll is not in this folder, so "
                             "there is no plugin to load.\n"))
      << out;
  EXPECT_THAT(out, HasSubstr("ScriptHookVask.dll: the script-hook host, which loads the plugin, "
                             "is here."));

  // With the host here, the one in the folder above is moved down, not this folder left.
  const common::TempFolder above = testing_support::tempFolder();
  writeFile(above, "Kestova.ini", "[Settings]\n");
  writeFile(above, "Game/ScriptHookVask.dll", testing_support::peBytes({}));
  const std::string here = (above.path() / "Game").string();
  EXPECT_THAT(check(here), HasSubstr("\nMove Kestova.ini down from " + above.path().string() +
                                     " into " + here + ", if this is the game's folder. There"));

  // Only one folder down is looked in: two down, the files are nowhere near.
  const common::TempFolder bare = testing_support::tempFolder();
  writeFile(bare, "Game/sub/x/Kestova.ini", "[Settings]\n");
  writeFile(bare, "Game/sub/x/ScriptHookVask.dll", testing_support::peBytes({}));
  const std::string far = check((bare.path() / "Game").string());
  EXPECT_THAT(far, HasSubstr("\nwarning: There is no Kestova.ini in "));
  EXPECT_THAT(far, HasSubstr("\nInstall the script-hook host in the game's folder"));
}

TEST(CheckPlaces, AFolderInAFilesPlaceIsSaidAndTheCheckGoesOnToItsSummary) {
  const Game game;
  game.write("Kestova.dll/readme.txt");
  game.write("Kestova.ini/Kestova.ini");
  const std::string out = check(game.path);
  EXPECT_THAT(out, HasSubstr("\nDelete the folder named Kestova.dll that stands in its place, "
                             "and copy Kestova.dll here again. Kestova.dll is not in this folder, "
                             "so there is no plugin to load.\n"))
      << out;
  EXPECT_THAT(out, HasSubstr("\nRename the folder named Kestova.ini, move the Kestova.ini inside "
                             "it out into " +
                             game.path +
                             ", then delete that folder. Kestova.ini: is a folder, not a settings "
                             "file (the plugin would use its defaults).\n"))
      << out;
  EXPECT_THAT(out, HasSubstr("ShortPress: the default, 50 (there is no settings file)."));
  EXPECT_THAT(out, HasSubstr("ScriptHookVask.dll: the script-hook host"));

  // The programs alike: every line, the summary, and the status warnings give.
  const testing_support::ProgramRun run =
      testing_support::runProgram(game.folder, {KESTOVA_CHECK_PATH, game.path});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "");
  const std::string verdict =
      "1 problem stops Kestova from working here, and 1 warning more: do what each says, then "
      "start the game.";
  EXPECT_EQ(testing_support::lines(run.out)[1], verdict) << run.out;
  EXPECT_EQ(testing_support::lines(run.out).back(), verdict) << run.out;
}

TEST(CheckPlaces, TheHostInAFolderBelowIsNotToBeInstalledAgain) {
  const common::TempFolder folder = testing_support::tempFolder();
  writeFile(folder, "Game/Kestova.dll", testing_support::peBytes({}));
  writeFile(folder, "Game/bin/ScriptHookVask.dll", testing_support::peBytes({}));
  const std::string game = (folder.path() / "Game").string();
  EXPECT_THAT(check(game),
              HasSubstr("\nPut the host, Kestova.dll and Kestova.ini side by side in the game's "
                        "folder, where its .exe is: they go together. ScriptHookVask.dll is not "
                        "in this folder but in " +
                        game + "/bin.\n"));
}

}  // namespace

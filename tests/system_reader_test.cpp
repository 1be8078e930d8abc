// The checker's question to the machine it runs on, asked for real: the system's own profile
// reader (Wine's here, Windows' on a player's machine) by a file's full wide path, whatever the
// folder is called, and the system named as it is.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "cli/check/machine.h"
#include "tests/settings_files.h"
#include "tests/support/bytes.h"
#include "tests/support/temp_folder.h"

namespace {

TEST(SystemReader, ReadsWhatThePluginsOwnCallReadsInAFolderOfAnyName) {
  const common::TempFolder folder = testing_support::tempFolder(testing_support::Enter::yes);
  const settings_files::Files files = settings_files::generatedFiles();
  cli::Machine& machine = cli::thisMachine();
  const std::filesystem::path oddFolder = folder.path() / std::filesystem::path(u8"ゲーム Jörg");
  std::filesystem::create_directory(oddFolder);
  const std::filesystem::path odd = oddFolder / "Kestova.ini";
  for (size_t i = 0; i < files.size(); i += 7) {
    // The plugin's call, by the relative name it uses, against the machine's, by a full path
    // through a folder no ANSI code page can name.
    testing_support::writeFile(folder, "Kestova.ini", files[i]);
    std::ofstream(odd, std::ios::binary | std::ios::trunc) << files[i];
    const std::optional<cli::SystemReading> reading = machine.readSettings(odd);
    ASSERT_TRUE(reading);
    for (const settings_file::Key& key : settings_file::kKeys) {
      const auto plugin = static_cast<int32_t>(GetPrivateProfileIntA(
          settings_file::kSection, key.name, key.fallback, settings_file::kPath));
      ASSERT_EQ(reading->settings.*key.member, plugin)
          << key.name << " in file " << i << ": " << testing_support::printable(files[i]);
    }
  }
}

TEST(SystemReader, NamesTheSystemThatAnswered) {
  const common::TempFolder folder = testing_support::tempFolder();
  const std::optional<cli::SystemReading> reading =
      cli::thisMachine().readSettings(folder.path() / "none.ini");
  ASSERT_TRUE(reading);
  EXPECT_EQ(reading->settings, settings_file::kDefaults);
  const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  EXPECT_EQ(reading->kind, wine ? cli::SystemKind::wine : cli::SystemKind::windows);
  EXPECT_EQ(reading->name.rfind(wine ? "Wine " : "Windows ", 0), 0u) << reading->name;
}

}  // namespace

// Writing suggested values into a player's settings file: only the values change, on every
// encoding and line end the reader accepts; what cannot be written faithfully is refused; the old
// file is kept, and a read-only file or a folder is never touched.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/check/settings_writer.h"
#include "common/settings_values.h"
#include "tests/support/bytes.h"
#include "tests/support/fake_machine.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using testing_support::Endian;
using testing_support::printable;
using testing_support::utf16;

const std::vector<cli::SettingValue> kNew = {{&settings_file::kShortPress, 60},
                                             {&settings_file::kLongPress, 230}};

// The text in the file's own encoding: 8-bit as it is, or UTF-16 LE after its mark.
std::string encoded(const std::string& text, bool wide) {
  return wide ? utf16(std::u16string(text.begin(), text.end()), Endian::little, true) : text;
}

std::string edited(const std::optional<std::string>& bytes, bool dropMark = false) {
  const common::Result<std::string> result = cli::editSettings(bytes, kNew, dropMark);
  EXPECT_TRUE(result) << result.error().message;
  return result ? *result : "";
}

TEST(SettingsWriter, OnlyTheValuesChangeOnEveryEncodingAndLineEnd) {
  for (const bool wide : {false, true}) {
    for (const std::string end : {"\r\n", "\n", "\r"}) {
      const std::string before = "; my notes" + end + "[Other]" + end + "ShortPress=1" + end +
                                 "[Settings]" + end + "LongPress = \"120\"  " + end +
                                 "shortpress=70ms ; mine" + end + "HoldADS=1" + end + end +
                                 "[Last]" + end + "x=2" + end;
      const std::string after = "; my notes" + end + "[Other]" + end + "ShortPress=1" + end +
                                "[Settings]" + end + "LongPress = \"230\"  " + end +
                                "shortpress=60ms ; mine" + end + "HoldADS=1" + end + end +
                                "[Last]" + end + "x=2" + end;
      SCOPED_TRACE(printable(end) + (wide ? " UTF-16 LE" : " 8-bit"));
      EXPECT_EQ(printable(edited(encoded(before, wide))), printable(encoded(after, wide)));
    }
  }
}

TEST(SettingsWriter, AMissingKeyEndsTheFirstSettingsSectionAndAMissingSectionEndsTheFile) {
  const struct {
    std::optional<std::string> before;
    std::string after;
  } cases[] = {
      {"[Settings]\nHoldADS=1\n\n[Settings]\nShortPress=5\n",
       "[Settings]\nHoldADS=1\nShortPress=60\nLongPress=230\n\n[Settings]\nShortPress=5\n"},
      {"[Settings]\r\nShortPress\r\nShortPress=9\r\n",
       "[Settings]\r\nShortPress=60\r\nShortPress=9\r\nLongPress=230\r\n"},
      {"; notes only", "; notes only\r\n[Settings]\r\nShortPress=60\r\nLongPress=230\r\n"},
      {"x=1\n", "x=1\n[Settings]\nShortPress=60\nLongPress=230\n"},
      // A key with no value at the section's end, and a key added after it: in that order.
      {"[Settings]\nHoldADS=1\nLongPress=", "[Settings]\nHoldADS=1\nLongPress=230\nShortPress=60"},
      {"[Settings]\nLongPress", "[Settings]\nLongPress=230\nShortPress=60"},
      // The number as the reader reads it goes, prefix and all; a value cut at 29 characters
      // is replaced whole.
      {"[Settings]\nShortPress=-0x46\nLongPress=" + std::string(27, '0') + "150\n",
       "[Settings]\nShortPress=60\nLongPress=230\n"},
      {"", "[Settings]\r\nShortPress=60\r\nLongPress=230\r\n"},
      {std::nullopt, "[Settings]\r\nShortPress=60\r\nLongPress=230\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(printable(c.before.value_or("(no file)")));
    EXPECT_EQ(printable(edited(c.before)), printable(c.after));
  }
}

TEST(SettingsWriter, WhatCannotBeWrittenFaithfullyIsRefusedAndAUtf8MarkGoesOnlyWhenAsked) {
  const std::string text = "[Settings]\nShortPress=70\n";
  const struct {
    std::string bytes;
    const char* why;
  } refused[] = {
      {utf16(u"[Settings]\nShortPress=70\n", Endian::big, true), "UTF-16 big-endian"},
      {utf16(u"[Settings]\nShortPress=70\n", Endian::little, true) + "7", "odd number of bytes"},
      {"\xEF\xBB\xBF" + text, "UTF-8 byte-order mark"},
  };
  for (const auto& r : refused) {
    const common::Result<std::string> result = cli::editSettings(r.bytes, kNew, false);
    ASSERT_FALSE(result) << printable(*result);
    EXPECT_THAT(result.error().message, HasSubstr(r.why));
  }
  EXPECT_EQ(edited("\xEF\xBB\xBF" + text, true), "[Settings]\nShortPress=60\nLongPress=230\n");
}

// Puts bytes in the file's place with a machine that has no reader of its own, as on Linux.
common::Result<fs::path> replaced(const fs::path& file, const std::string& bytes) {
  testing_support::FakeMachine machine;
  return cli::replaceSettingsFile(file, bytes, kNew, machine);
}

TEST(SettingsWriter, TheOldFileIsKeptAndAReadOnlyFileOrAFolderIsNeverTouched) {
  const common::TempFolder folder = testing_support::tempFolder();
  const fs::path file = testing_support::writeFile(folder, "Kestova.ini", "old");
  ASSERT_TRUE(replaced(file, "new"));
  ASSERT_TRUE(replaced(file, "newer"));
  EXPECT_EQ(testing_support::readFile(file), "newer");
  EXPECT_EQ(testing_support::readFile(folder.path() / "Kestova.ini.bak"), "old");
  EXPECT_EQ(testing_support::readFile(folder.path() / "Kestova.ini.2.bak"), "new");
  EXPECT_FALSE(fs::exists(folder.path() / "Kestova.ini.new"));
  // No file yet: a new one is made, and there is no old one to keep.
  fs::create_directories(folder.path() / "fresh");
  const common::Result<fs::path> made = replaced(folder.path() / "fresh/Kestova.ini", "first");
  ASSERT_TRUE(made) << made.error().message;
  EXPECT_TRUE(made->empty());

  const fs::path locked = testing_support::writeFile(folder, "locked/Kestova.ini", "mine");
  ASSERT_EQ(chmod(locked.c_str(), 0444), 0);
  const common::Result<fs::path> readOnly = replaced(locked, "theirs");
  ASSERT_FALSE(readOnly);
  EXPECT_THAT(readOnly.error().message, HasSubstr("read-only"));
  EXPECT_EQ(testing_support::readFile(locked), "mine");
  EXPECT_FALSE(fs::exists(locked.string() + ".bak"));

  // On Linux a symbolic link is written through (Windows refuses one: see
  // settings_replace_windows_test.cpp).
  const fs::path stored = testing_support::writeFile(folder, "mods/Kestova.ini", "stored");
  fs::create_symlink(stored, folder.path() / "linked.ini");
  ASSERT_TRUE(replaced(folder.path() / "linked.ini", "through"));
  EXPECT_EQ(testing_support::readFile(stored), "through");
  EXPECT_TRUE(fs::is_symlink(folder.path() / "linked.ini"));
  fs::create_symlink(folder.path() / "nowhere.ini", folder.path() / "broken.ini");
  const common::Result<fs::path> broken = replaced(folder.path() / "broken.ini", "theirs");
  ASSERT_FALSE(broken);
  EXPECT_THAT(broken.error().message, HasSubstr("a link to nothing"));

  fs::create_directories(folder.path() / "game/Kestova.ini");
  const common::Result<fs::path> intoFolder = replaced(folder.path() / "game/Kestova.ini", "x");
  ASSERT_FALSE(intoFolder);
  EXPECT_THAT(intoFolder.error().message, HasSubstr("a folder"));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.path() / "game"), {}), 1);
}

}  // namespace

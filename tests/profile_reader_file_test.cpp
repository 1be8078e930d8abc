// The GetPrivateProfileIntA stand-in's file and path rules, through real files: where it looks,
// what it does with folders, missing and unreadable files, and files of any size and bytes.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <windows.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "tests/profile_fallback.h"
#include "tests/support/bytes.h"
#include "tests/support/temp_folder.h"

using namespace std::string_literals;
using common::TempFolder;
using testing_support::Endian;
using testing_support::kFallback;
using testing_support::printable;
using testing_support::readFile;
using testing_support::utf16;
using testing_support::writeFile;

namespace {

// Each test runs in its own fresh folder, which is also the current directory.
class ProfileReaderFile : public ::testing::Test {
 protected:
  void write(const std::filesystem::path& name, std::string_view bytes) const {
    writeFile(folder_, name, bytes);
  }

  static int32_t read(const std::string& fileName, const char* section = "Settings",
                      const char* key = "ShortPress", int32_t fallback = kFallback) {
    return static_cast<int32_t>(GetPrivateProfileIntA(section, key, fallback, fileName.c_str()));
  }

  const TempFolder folder_ = testing_support::tempFolder(testing_support::Enter::yes);
};

std::string backslashed(std::string path) {
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

}  // namespace

TEST_F(ProfileReaderFile, ANameWithAFolderPartIsFoundFromTheCurrentDirectory) {
  write("Kestova.ini", "[Settings]\nShortPress=25\n");
  std::filesystem::create_directory("sub");
  write("sub/Inner.ini", "[Settings]\nShortPress=26\n");
  const std::string absolute = (folder_.path() / "Kestova.ini").string();
  for (const std::string& name :
       {".\\Kestova.ini"s, "./Kestova.ini"s, absolute, backslashed(absolute),
        "sub\\..\\Kestova.ini"s, "sub/../Kestova.ini"s, ".\\sub\\.\\..\\Kestova.ini"s}) {
    EXPECT_EQ(read(name), 25) << name;
  }
  EXPECT_EQ(read("sub\\Inner.ini"), 26);
  EXPECT_EQ(read("sub/Inner.ini"), 26);
}

TEST_F(ProfileReaderFile, DotDotTakesBackTheNamedFolderEvenWhenItDoesNotExist) {
  write("Kestova.ini", "[Settings]\nShortPress=25\n");
  write("plain", "not a folder");
  EXPECT_EQ(read("missing\\..\\Kestova.ini"), 25);
  EXPECT_EQ(read("plain\\..\\Kestova.ini"), 25);
  EXPECT_EQ(read(".\\a\\b\\..\\..\\Kestova.ini"), 25);
  // Taking back more folders than were named climbs above the current directory.
  EXPECT_EQ(read("a\\..\\..\\" + folder_.path().filename().string() + "\\Kestova.ini"), 25);
  EXPECT_EQ(read("missing\\..\\Absent.ini"), kFallback);
}

TEST_F(ProfileReaderFile, ABareNameLooksInTheWindowsDirectoryAndFindsNothing) {
  write("Kestova.ini", "[Settings]\nShortPress=25\n");
  EXPECT_EQ(read("Kestova.ini"), kFallback);
}

TEST_F(ProfileReaderFile, AMissingFileSectionOrKeyGivesTheDefault) {
  write("Kestova.ini", "[Settings]\nShortPress=25\n");
  EXPECT_EQ(read(".\\Absent.ini"), kFallback);
  EXPECT_EQ(read(".\\Kestova.ini", "Other"), kFallback);
  EXPECT_EQ(read(".\\Kestova.ini", "Settings", "LongPress"), kFallback);
  EXPECT_EQ(read(".\\Kestova.ini", "Settings", "LongPress", -1), -1);
}

TEST_F(ProfileReaderFile, AFolderWhereTheFileShouldBeGivesTheDefault) {
  std::filesystem::create_directory("Kestova.ini");
  EXPECT_EQ(read(".\\Kestova.ini"), kFallback);
  EXPECT_EQ(read(".\\"), kFallback);
  write("File.ini", "[Settings]\nShortPress=25\n");
  EXPECT_EQ(read(".\\File.ini\\"), kFallback);
}

TEST_F(ProfileReaderFile, AnUnreadableFileGivesTheDefault) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads files whatever their permissions";
  write("Kestova.ini", "[Settings]\nShortPress=25\n");
  std::filesystem::permissions("Kestova.ini", std::filesystem::perms::none);
  EXPECT_EQ(read(".\\Kestova.ini"), kFallback);
}

TEST_F(ProfileReaderFile, ReadingNeverWritesTheFile) {
  const std::string text = "[Settings]\nShortPress=25\n[Settings]\nLongPress=3\n";
  write("Kestova.ini", text);
  std::filesystem::permissions("Kestova.ini", std::filesystem::perms::owner_read |
                                                  std::filesystem::perms::group_read |
                                                  std::filesystem::perms::others_read);
  struct stat before {};
  ASSERT_EQ(stat("Kestova.ini", &before), 0);

  EXPECT_EQ(read(".\\Kestova.ini"), 25);
  EXPECT_EQ(read(".\\Kestova.ini", "Settings", "LongPress"), kFallback);
  EXPECT_EQ(read(".\\Kestova.ini", "Other"), kFallback);

  struct stat after {};
  ASSERT_EQ(stat("Kestova.ini", &after), 0);
  EXPECT_EQ(readFile("Kestova.ini"), text);
  EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
  EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
  const auto entries = std::distance(std::filesystem::directory_iterator(folder_.path()), {});
  EXPECT_EQ(entries, 1);
}

TEST_F(ProfileReaderFile, LinesAcrossTheEdgesOfTheReadWindowAreReadWhole) {
  // The file is read a few kilobytes at a time; slide the key line over 4 KiB and 8 KiB.
  for (size_t pad = 4060; pad < 4110; ++pad) {
    const std::string filler = ";" + std::string(pad, 'x') + "\n";
    write("Kestova.ini", "[Settings]\n" + filler + "  ShortPress  =  '42'   \n" + filler +
                             "[Other" + std::string(4000, ' ') + "]\nLongPress=1\n");
    ASSERT_EQ(read(".\\Kestova.ini"), 42) << "pad " << pad;
    ASSERT_EQ(read(".\\Kestova.ini", "Other", "LongPress"), 1) << "pad " << pad;
  }
}

TEST_F(ProfileReaderFile, HugeLinesAndNamesAreReadSanely) {
  const size_t mebibyte = size_t{1} << 20;
  const auto expectRead = [&](const std::string& text, int32_t expected) {
    write("Kestova.ini", text);
    EXPECT_EQ(read(".\\Kestova.ini"), expected) << printable(text.substr(0, 40));
  };
  expectRead("[Settings]\n" + std::string(mebibyte, 'x') + "\nShortPress=7\n", 7);
  expectRead("[Settings]\n[" + std::string(mebibyte, 'x') + "\nShortPress=9\n", 9);
  expectRead("[Settings]\nShortPress=" + std::string(mebibyte, ' ') + "42\n", 42);
  // Only 29 nines are read, wrapped modulo 2^32.
  expectRead("[Settings]\nShortPress=" + std::string(mebibyte, '9') + "\n", -1610612737);
  expectRead("[" + std::string(100000, 'S') + "]\nShortPress=1\n[Settings]\nShortPress=2\n", 2);
  expectRead("[Settings]\n" + std::string(100000, 'K') + "=1\nShortPress" +
                 std::string(100000, 'x') + "=3\nShortPress=2\n",
             2);
}

TEST_F(ProfileReaderFile, DegenerateFilesGiveTheDefault) {
  for (const std::string& text :
       {""s, "["s, "[\n"s, "]"s, "="s, "\r\n\r\n"s, std::string(65536, '\0'), "\xEF\xBB\xBF"s,
        "\xFF\xFE"s, "\xFF\xFE\x41"s, "\xFE\xFF\x00"s}) {
    write("Kestova.ini", text);
    EXPECT_EQ(read(".\\Kestova.ini"), kFallback) << printable(text.substr(0, 40));
  }
}

TEST_F(ProfileReaderFile, NulsBetweenLinesDoNotHideTheSetting) {
  write("Kestova.ini", "\0\0\n[Settings]\n\0\0\0\nShortPress=8\n\0"s);
  EXPECT_EQ(read(".\\Kestova.ini"), 8);
  write("Kestova.ini", utf16(u"[Settings]\nShortPress=25\n", Endian::little, true) + "\x01");
  EXPECT_EQ(read(".\\Kestova.ini"), 25);
}

TEST_F(ProfileReaderFile, RandomFilesNeverCrashNorInventASetting) {
  std::mt19937 random(7151);  // seeded: the same files on every run
  std::uniform_int_distribution<size_t> sizes(0, 20000);
  std::uniform_int_distribution<int> bytes(0, 255);
  for (int round = 0; round < 100; ++round) {
    std::string junk(sizes(random), '\0');
    for (char& c : junk) c = static_cast<char>(bytes(random));
    if (!junk.empty()) junk[0] = 'j';  // no byte-order mark: the junk stays bytes
    write("Kestova.ini", junk);
    ASSERT_EQ(read(".\\Kestova.ini"), kFallback) << "round " << round;
    write("Kestova.ini", junk + "\n[Settings]\nShortPress=25\n" + junk);
    ASSERT_EQ(read(".\\Kestova.ini"), 25) << "round " << round;
  }
}
